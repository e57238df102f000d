// How messages and outputs show texts.
#include "text.h"

namespace navaid {

std::string WithArticle(std::string_view familyName) {
    // "an NDB" is read "an en-dee-bee"; "a VOR" is read as a word.
    return (familyName == "NDB" ? "an " : "a ") + std::string(familyName);
}

std::string Counted(std::uint64_t count, std::string_view noun) {
    return std::to_string(count) + ' ' + std::string(noun) + (count == 1 ? "" : "s");
}

std::string Quoted(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '\'';
    quoted += text;
    quoted += '\'';
    return quoted;
}

namespace {

void AppendEscaped(std::string& out, unsigned char c) {
    static const char kHex[] = "0123456789abcdef";
    out += "\\x";
    out += kHex[c >> 4];
    out += kHex[c & 15];
}

}  // namespace

std::string EscapeBytes(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char c : bytes) {
        if (c < 0x20 || c == 0x7F || c == '\\') {
            AppendEscaped(out, c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string EscapedToUtf8(std::string_view escaped) {
    std::string out;
    out.reserve(escaped.size());
    for (char c : escaped) {
        // ASCII stays, the TABs between a line's columns included; Cp1252ToUtf8
        // gives U+FFFD for the five bytes that are no character.
        const bool ascii = static_cast<unsigned char>(c) < 0x80;
        const std::string utf8 = ascii ? std::string(1, c) : Cp1252ToUtf8(std::string_view(&c, 1));
        if (utf8 == "\xEF\xBF\xBD") {
            AppendEscaped(out, static_cast<unsigned char>(c));
        } else {
            out += utf8;
        }
    }
    return out;
}

std::string XmlEscape(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (char c : utf8) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

}  // namespace navaid
