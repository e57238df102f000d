#include "code_page.h"

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
const CodePageCase* g_current = &kWindows1252;

}  // namespace

const CodePageCase& Windows1252Case() { return kWindows1252; }

void SetCodePageCase(const CodePageCase* mapping) { g_current = mapping ? mapping : &kWindows1252; }

const CodePageCase& CurrentCodePageCase() { return *g_current; }

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

}  // namespace navaid
