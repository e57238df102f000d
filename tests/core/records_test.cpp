// Record encoding, type blocks, and the code page's case mapping, trimming
// and truncation that fix a record's stored text.
#include "test_support.h"

namespace navaid::test {
namespace {

std::string Encode(Family family, std::string id, std::string name, std::string type) {
    return Encoded(family, {id, name, 0, 0, 0, 0, 0, type});
}

// A double-byte code page in the style of Shift-JIS: lead bytes 0x81-0x9F and
// 0xE0-0xFC; only ASCII letters outside double-byte characters change case.
class FakeDoubleByteCase : public CodePageCase {
public:
    void ToUpper(std::string& text) const override { Map(text, 'a', -32); }
    void ToLower(std::string& text) const override { Map(text, 'A', 32); }
    bool IsLeadByte(unsigned char b) const override {
        return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    }

private:
    void Map(std::string& text, char a, int delta) const {
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (IsLeadByte(static_cast<unsigned char>(text[i])))
                ++i;
            else if (text[i] >= a && text[i] <= a + 25)
                text[i] = static_cast<char>(text[i] + delta);
        }
    }
};

TEST(RecordTest, TextIsTrimmedUpperCasedPaddedAndCutAndTypesGiveTheirBlocks) {
    // clang-format off
    const std::tuple<std::string, std::string, std::string> texts[] = {
        {"\t\n\v\f\r lax \r\n", "x\x01y", "LAX       X\x01Y                 "},
        {"abcdefghijkl", "abcdefghijklmnopqrstuvwxyz", "ABCDEFGHIJABCDEFGHIJKLMNOPQRST"},
        {"  a b  ", "m\xFCnchen \xE4\xF6\xFC\xE9\xFF\x9A\xDF", "A B       M\xDCNCHEN \xC4\xD6\xDC\xC9\x9F\x8A\xDF     "}};
    const auto V = Family::Vor, N = Family::Ndb;
    const std::tuple<Family, const char*, std::string> types[] = {
        {V, "VOR", {"\x01\0\0\0\0\0", 6}}, {V, " vortac\t", {"\x02\0\xFF\xFF\xFF\xFF", 6}},
        {V, "TACAN", {"\x03\0\0\0\xFF\xFF", 6}}, {V, "VOR-DME", {"\x04\0\xFF\xFF\0\0", 6}},
        {V, "DME", {"\x09\0\xFF\xFF\0\0", 6}}, {N, "NDB", "5  "}, {N, "\r\nndb-dme ", "7  "},
        {V, "NDB", ""}, {N, "DME", ""}, {V, "  ", ""}, {V, "VOR DME", ""}, {N, "Type undefined", ""}};
    // clang-format on
    for (const auto& [id, name, stored] : texts) {
        EXPECT_EQ(Encode(Family::Vor, id, name, "VOR").substr(0, 30), stored);
        EXPECT_EQ(Encode(Family::Ndb, id, name, "NDB").substr(0, 30), stored);
    }
    for (const auto& [family, type, block] : types) {
        const std::string record = Encode(family, "X", "Y", type);  // "" when refused
        EXPECT_EQ(record.substr(std::min<std::size_t>(50, record.size())), block) << type;
    }
}

TEST(RecordTest, CutNeverSplitsADoubleByteCharacter) {
    FakeDoubleByteCase dbcs;
    SetCodePageCase(&dbcs);
    // clang-format off
    const std::pair<std::string, std::string> ids[] = {
        {"abcdefghi\x82\xA0", "ABCDEFGHI "},  // the pair would end past the field: a space fills
        {"abcdefgh\x82\xA0", "ABCDEFGH\x82\xA0"},
        {"a\x82\x82\x82\x82\x82\x82\x82\x82\x82\x82", "A\x82\x82\x82\x82\x82\x82\x82\x82 "},
        {"\x82\x61\x82\x61\x82\x61\x82\x61\x82\x61x", "\x82\x61\x82\x61\x82\x61\x82\x61\x82\x61"}};
    const std::tuple<std::string, std::size_t, std::string> cuts[] = {
        {"A\x82\xA0\x42", 2, "A"}, {"A\x82\xA0\x42", 3, "A\x82\xA0"}, {"\x82\x82\x82\x82", 3, "\x82\x82"},
        {"a\x82\x82\x82\x82", 4, "a\x82\x82"}, {"\x82\xA0", 1, ""}, {"", 0, ""}};
    // clang-format on
    for (const auto& [id, stored] : ids)
        EXPECT_EQ(Encode(Family::Vor, id, "n", "VOR").substr(0, 10), stored);
    EXPECT_EQ(Encode(Family::Ndb, "i", std::string(19, 'n') + "\x82\xA0", "NDB").substr(10, 20),
              std::string(19, 'N') + " ");
    for (const auto& [text, max, kept] : cuts) EXPECT_EQ(TruncateToBytes(text, max), kept) << max;
    // Trail bytes in the letter range keep their case.
    EXPECT_EQ(LowerCase("C:\\\x83\x41\x83X\\NAV.QVZ"), "c:\\\x83\x41\x83X\\nav.qvz");
    SetCodePageCase(nullptr);
}

TEST(RecordTest, Windows1252CaseTrimAndTruncate) {
    for (unsigned b = 0; b < 256; ++b) {
        if (b == 0xB5 || b == 0xDF) continue;  // no single-byte counterpart either way
        unsigned upper = b, lower = b;
        if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7)) upper = b - 32;
        if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) lower = b + 32;
        for (auto [capital, small] :
             {std::pair{0x8Au, 0x9Au}, {0x8Cu, 0x9Cu}, {0x8Eu, 0x9Eu}, {0x9Fu, 0xFFu}}) {
            if (b == small) upper = capital;
            if (b == capital) lower = small;
        }
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(static_cast<unsigned char>(UpperCase(one)[0]), upper) << b;
        EXPECT_EQ(static_cast<unsigned char>(LowerCase(one)[0]), lower) << b;
        EXPECT_EQ(TruncateToBytes(one + one, 1), one) << b;  // no lead bytes
    }
    EXPECT_EQ(TrimWhiteSpace(std::string_view("\0a\0", 3)), std::string_view("\0a\0", 3));
    EXPECT_EQ(TrimWhiteSpace("\xA0x\xA0"), "\xA0x\xA0");
    EXPECT_EQ(TruncateToBytes("abc\x82\xA0", 4), "abc\x82");
}

}  // namespace
}  // namespace navaid::test
