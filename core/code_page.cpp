#include "code_page.h"

#include <algorithm>
#include <cstdio>

#include "text.h"

namespace navaid {
namespace {

// Windows-1252: ASCII letters, the accented Latin-1 letters, and the four
// letters the code page adds in 0x80-0x9F (S/s caron, OE/oe, Z/z caron, Y diaeresis).
// Multiplication and division signs and sharp s have no other case.
unsigned char Upper1252(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
    switch (c) {
        case 0x9A:
            return 0x8A;
        case 0x9C:
            return 0x8C;
        case 0x9E:
            return 0x8E;
        case 0xFF:
            return 0x9F;
        default:
            return c;
    }
}

unsigned char Lower1252(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 0x20);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 0x20);
    switch (c) {
        case 0x8A:
            return 0x9A;
        case 0x8C:
            return 0x9C;
        case 0x8E:
            return 0x9E;
        case 0x9F:
            return 0xFF;
        default:
            return c;
    }
}

class Windows1252 final : public CodePageCase {
public:
    void ToUpper(std::string& text) const override {
        for (char& c : text) c = static_cast<char>(Upper1252(static_cast<unsigned char>(c)));
    }
    void ToLower(std::string& text) const override {
        for (char& c : text) c = static_cast<char>(Lower1252(static_cast<unsigned char>(c)));
    }
    bool IsLeadByte(unsigned char) const override { return false; }
};

const Windows1252 kWindows1252;

// 0x80-0x9F of Windows-1252; 0 where the code page has no character.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

constexpr char32_t kNotUtf8 = 0xFFFFFFFF;

// The character of the UTF-8 sequence at `at`, which moves past it; kNotUtf8
// when the bytes there are not UTF-8 (overlong forms and surrogates included),
// so that Windows-1252 text such as "\xC0\x80" is never read as a character.
char32_t NextUtf8(std::string_view text, std::size_t& at) {
    const unsigned char lead = text[at++];
    if (lead < 0x80) return lead;
    const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    if (extra == 0 || lead > 0xF4 || at + extra > text.size()) return kNotUtf8;
    char32_t cp = lead & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
        const unsigned char next = text[at++];
        if ((next & 0xC0) != 0x80) return kNotUtf8;
        cp = cp << 6 | (next & 0x3F);
    }
    constexpr char32_t kLeast[4] = {0, 0x80, 0x800, 0x10000};
    if (cp < kLeast[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return kNotUtf8;
    return cp;
}

// UTF-8 text as Windows-1252, false when it is not UTF-8. A character the
// code page lacks becomes '?', and `lacking` holds the first one's bytes.
bool ConvertUtf8(std::string_view text, std::string& out, std::string_view& lacking) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t start = at;
        const char32_t cp = NextUtf8(text, at);
        if (cp == kNotUtf8) return false;
        long byte = cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF) ? static_cast<long>(cp) : -1;
        if (byte < 0) {
            const char16_t* high = std::find(kCp1252High, kCp1252High + 32, cp);
            if (high != kCp1252High + 32) byte = 0x80 + (high - kCp1252High);
        }
        if (byte < 0 && lacking.empty()) lacking = text.substr(start, at - start);
        out += byte < 0 ? '?' : static_cast<char>(byte);
    }
    return true;
}

const CodePageCase* g_current = &kWindows1252;

}  // namespace

void SetCodePageCase(const CodePageCase* mapping) { g_current = mapping ? mapping : &kWindows1252; }

std::string UpperCase(std::string_view text) {
    std::string result(text);
    g_current->ToUpper(result);
    return result;
}

std::string LowerCase(std::string_view text) {
    std::string result(text);
    g_current->ToLower(result);
    return result;
}

bool IsWhiteSpaceByte(unsigned char byte) { return byte == ' ' || (byte >= '\t' && byte <= '\r'); }

std::string_view TrimWhiteSpace(std::string_view text) {
    std::size_t begin = 0;
    while (begin < text.size() && IsWhiteSpaceByte(static_cast<unsigned char>(text[begin])))
        ++begin;
    std::size_t end = text.size();
    while (end > begin && IsWhiteSpaceByte(static_cast<unsigned char>(text[end - 1]))) --end;
    return text.substr(begin, end - begin);
}

std::string_view TruncateToBytes(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    std::size_t keep = 0;
    while (keep < maxBytes) {
        const bool lead = g_current->IsLeadByte(static_cast<unsigned char>(text[keep]));
        const std::size_t width = (lead && keep + 1 < text.size()) ? 2 : 1;
        if (keep + width > maxBytes) break;
        keep += width;
    }
    return text.substr(0, keep);
}

std::string Cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char c : bytes) {
        char32_t cp = c;
        if (c < 0x20 || c == 0x7F) {
            cp = 0xFFFD;
        } else if (c >= 0x80 && c < 0xA0) {
            cp = kCp1252High[c - 0x80] ? kCp1252High[c - 0x80] : 0xFFFD;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

std::string FileNameToUtf8(std::string_view name) {
#if !defined(_WIN32)
    for (std::size_t at = 0; at < name.size();)
        if (NextUtf8(name, at) == kNotUtf8) return Cp1252ToUtf8(name);
    std::string out;
    for (char c : name) {
        const bool control = static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
        out += control ? std::string("\xEF\xBF\xBD") : std::string(1, c);
    }
    return out;
#else
    return Cp1252ToUtf8(name);
#endif
}

std::string Cp1252ToUtf8Whole(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char c : bytes) {
        const bool high = c >= 0x80 && c < 0xA0 && kCp1252High[c - 0x80];
        AppendUtf8(out, high ? kCp1252High[c - 0x80] : c);
    }
    return out;
}

std::string Utf8ToCp1252(std::string_view text) {
    std::string out;
    std::string_view lacking;
    return ConvertUtf8(text, out, lacking) ? out : std::string(text);
}

bool StoredToGiven(std::string_view stored, std::string& given) {
    given = stored;
#if !defined(_WIN32)
    given.clear();
    for (unsigned char c : stored) {
        const bool high = c >= 0x80 && c < 0xA0;
        if (high && kCp1252High[c - 0x80] == 0) return false;
        AppendUtf8(given, high ? kCp1252High[c - 0x80] : c);
    }
#endif
    return true;
}

Outcome GivenToCp1252(std::string_view text, std::string& stored) {
    stored = text;
#if !defined(_WIN32)
    std::string converted;
    std::string_view lacking;
    if (!ConvertUtf8(text, converted, lacking)) return Outcome::Success();
    if (!lacking.empty()) {
        std::size_t at = 0;
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(NextUtf8(lacking, at)));
        return Outcome::Usage(Quoted(lacking) + " (" + code + ") has no Windows-1252 form");
    }
    stored = std::move(converted);
#endif
    return Outcome::Success();
}

}  // namespace navaid
