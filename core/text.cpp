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

std::string Quoted(std::string_view text) { return '\'' + ShownName(text) + '\''; }

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

namespace {

// The length of the well-formed UTF-8 character at the start of `text` that
// is no C1 control, or 0.
std::size_t Utf8Character(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    const std::size_t size = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if (lead < 0xC2 || lead > 0xF4 || text.size() < size) return 0;
    for (std::size_t i = 1; i < size; ++i)
        if ((byte(i) & 0xC0) != 0x80) return 0;
    // Overlong forms, surrogates and code points past U+10FFFF; C1 controls.
    if ((lead == 0xE0 && byte(1) < 0xA0) || (lead == 0xED && byte(1) > 0x9F) ||
        (lead == 0xF0 && byte(1) < 0x90) || (lead == 0xF4 && byte(1) > 0x8F) ||
        (lead == 0xC2 && byte(1) < 0xA0))
        return 0;
    return size;
}

}  // namespace

std::string ShownMessage(std::string_view line, HighBytes high) {
    std::string out;
    out.reserve(line.size());
    for (std::size_t i = 0; i < line.size();) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        std::size_t keep = c >= 0x20 && c < 0x7F ? 1 : 0;
        if (c >= 0x80 && high == HighBytes::AsTheyAre) keep = 1;
        if (c >= 0x80 && high == HighBytes::Utf8) keep = Utf8Character(line.substr(i));
        if (keep == 0) {
            AppendEscaped(out, c);
            ++i;
            continue;
        }
        out.append(line.substr(i, keep));
        i += keep;
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
