// Record encoding and decoding, type blocks, and the code page's case mapping,
// trimming and truncation that fix a record's stored text.
#include <cstring>
#include <limits>

#include "navaid_db.h"
#include "test_support.h"

namespace navaid::test {
namespace {

NavaidEntry Entry(std::string id, std::string name, std::string type) {
    NavaidEntry e;
    e.id = std::move(id);
    e.name = std::move(name);
    e.typeName = std::move(type);
    return e;
}

std::string Encode(Family family, const NavaidEntry& entry) {
    std::string out;
    const Outcome outcome = EncodeRecord(family, entry, out);
    EXPECT_TRUE(outcome.ok) << outcome.Message();
    return out;
}

TEST(EncodeRecordTest, TextFieldsAreTrimmedUpperCasedPaddedAndCut) {
    struct Case {
        std::string id, name, storedId, storedName;
    } cases[] = {
        {"abc", "  test  ", "ABC       ", "TEST                "},
        {"\t\n\v\f\r lax \r\n", "los angeles", "LAX       ", "LOS ANGELES         "},
        {"a b", "x\x01y", "A B       ", "X\x01Y" + std::string(17, ' ')},
        {"", "", "          ", "                    "},
        {"abcdefghij", "abcdefghijklmnopqrst", "ABCDEFGHIJ", "ABCDEFGHIJKLMNOPQRST"},
        {"abcdefghijkl", "abcdefghijklmnopqrstuvwxyz", "ABCDEFGHIJ", "ABCDEFGHIJKLMNOPQRST"},
        {"  abcdefghij  ", "m\xFCnchen \xE4\xF6\xFC\xE9\xFF\x9A\xDF", "ABCDEFGHIJ",
         "M\xDCNCHEN \xC4\xD6\xDC\xC9\x9F\x8A\xDF     "}};
    for (const Case& c : cases) {
        for (Family family : {Family::Vor, Family::Ndb}) {
            const std::string record =
                Encode(family, Entry(c.id, c.name, family == Family::Vor ? "VOR" : "NDB"));
            ASSERT_EQ(record.size(), RecordSize(family)) << c.id;
            EXPECT_EQ(record.substr(0, 10), c.storedId);
            EXPECT_EQ(record.substr(10, 20), c.storedName);
        }
    }
}

TEST(EncodeRecordTest, EveryTypeNameGivesItsBlock) {
    struct Case {
        Family family;
        const char* name;
        std::string block;
    } cases[] = {{Family::Vor, "VOR", std::string("\x01\0\0\0\0\0", 6)},
                 {Family::Vor, "VORTAC", kVortacBlock},
                 {Family::Vor, "TACAN", std::string("\x03\0\0\0\xFF\xFF", 6)},
                 {Family::Vor, "VOR-DME", std::string("\x04\0\xFF\xFF\0\0", 6)},
                 {Family::Vor, "DME", std::string("\x09\0\xFF\xFF\0\0", 6)},
                 {Family::Vor, " vortac\t", kVortacBlock},
                 {Family::Ndb, "NDB", kNdbBlock},
                 {Family::Ndb, "NDB-DME", kNdbDmeBlock},
                 {Family::Ndb, "\r\nndb-dme ", kNdbDmeBlock}};
    for (const Case& c : cases) {
        const std::string record = Encode(c.family, Entry("X", "Y", c.name));
        ASSERT_EQ(record.size(), RecordSize(c.family)) << c.name;
        EXPECT_EQ(record.substr(50), c.block) << c.name;
    }
}

TEST(EncodeRecordTest, NumbersAreStoredBitForBitLittleEndian) {
    // Unusual bit patterns must pass unchanged: NaN payloads, -0, infinity, denormals.
    NavaidEntry e = Entry("a", "b", "VOR");
    e.latitude = FloatFromBits(0x7FC01234);
    e.longitude = -0.0f;
    e.frequency = -std::numeric_limits<float>::infinity();
    e.magVar = std::numeric_limits<float>::denorm_min();
    e.altitude = std::numeric_limits<std::int32_t>::min();
    const std::string record = Encode(Family::Vor, e);
    EXPECT_EQ(record.substr(30, 20), Le32(0x7FC01234) + Le32(0x80000000) + Le32(0xFF800000) +
                                         Le32(0x00000001) + Le32(0x80000000));
    e.altitude = -1;
    EXPECT_EQ(Encode(Family::Vor, e).substr(46, 4), "\xFF\xFF\xFF\xFF");
}

TEST(EncodeRecordTest, RefusesTypeNamesOutsideTheFamily) {
    const std::pair<Family, const char*> cases[] = {
        {Family::Vor, "NDB"},           {Family::Vor, "NDB-DME"}, {Family::Ndb, "VOR"},
        {Family::Ndb, "DME"},           {Family::Vor, ""},        {Family::Vor, "   "},
        {Family::Vor, "VORX"},          {Family::Vor, "VOR DME"}, {Family::Ndb, "NDB DME"},
        {Family::Ndb, "Type undefined"}};
    for (const auto& [family, name] : cases) {
        std::string out;
        const Outcome outcome = EncodeRecord(family, Entry("A", "B", name), out);
        EXPECT_FALSE(outcome.ok) << FamilyName(family) << " '" << name << "'";
        EXPECT_FALSE(outcome.reason.empty());
    }
}

TEST(EncodeRecordTest, CutNeverSplitsADoubleByteCharacter) {
    FakeDoubleByteCase dbcs;
    CodePageScope scope(&dbcs);
    struct Case {
        std::string id, storedId;
    } cases[] = {
        // The 10th byte would be the lead byte of a pair: the pair goes, a space fills.
        {"abcdefghi\x82\xA0", "ABCDEFGHI "},
        {"abcdefgh\x82\xA0", "ABCDEFGH\x82\xA0"},
        // Trail bytes that look like lead bytes or letters stay paired and unmapped.
        {"a\x82\x82\x82\x82\x82\x82\x82\x82\x82\x82", "A\x82\x82\x82\x82\x82\x82\x82\x82 "},
        {"\x82\x61\x82\x61\x82\x61\x82\x61\x82\x61x", "\x82\x61\x82\x61\x82\x61\x82\x61\x82\x61"}};
    for (const Case& c : cases) {
        const std::string record = Encode(Family::Vor, Entry(c.id, "n", "VOR"));
        ASSERT_EQ(record.size(), kVorRecordSize);
        EXPECT_EQ(record.substr(0, 10), c.storedId) << c.id;
    }
    const std::string name = std::string(19, 'n') + "\x82\xA0";
    EXPECT_EQ(Encode(Family::Ndb, Entry("i", name, "NDB")).substr(10, 20),
              std::string(19, 'N') + " ");
}

TEST(CodePageTest, Windows1252CaseMapping) {
    // Letters whose case differs in Windows-1252; every other byte keeps its value.
    auto upperOf = [](unsigned b) -> unsigned {
        if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7)) return b - 32;
        switch (b) {
            case 0x9A:
                return 0x8A;
            case 0x9C:
                return 0x8C;
            case 0x9E:
                return 0x8E;
            case 0xFF:
                return 0x9F;
        }
        return b;
    };
    auto lowerOf = [](unsigned b) -> unsigned {
        if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) return b + 32;
        switch (b) {
            case 0x8A:
                return 0x9A;
            case 0x8C:
                return 0x9C;
            case 0x8E:
                return 0x9E;
            case 0x9F:
                return 0xFF;
        }
        return b;
    };
    for (unsigned b = 0; b < 256; ++b) {
        if (b == 0xB5 || b == 0xDF) continue;  // no single-byte counterpart either way
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(static_cast<unsigned char>(UpperCase(one)[0]), upperOf(b)) << "byte " << b;
        EXPECT_EQ(static_cast<unsigned char>(LowerCase(one)[0]), lowerOf(b)) << "byte " << b;
        EXPECT_FALSE(Windows1252Case().IsLeadByte(static_cast<unsigned char>(b)));
    }
    EXPECT_EQ(LowerCase("C:\\\xC4RGER\\VOR.QVZ"), "c:\\\xE4rger\\vor.qvz");
}

TEST(CodePageTest, TrimAndTruncate) {
    EXPECT_EQ(TrimWhiteSpace("\t\n\v\f\r x y \r\n"), "x y");
    EXPECT_EQ(TrimWhiteSpace("   "), "");
    EXPECT_EQ(TrimWhiteSpace(std::string_view("\0a\0", 3)), std::string_view("\0a\0", 3));
    EXPECT_EQ(TrimWhiteSpace("\xA0x\xA0"), "\xA0x\xA0");
    EXPECT_EQ(TruncateToBytes("abc", 5), "abc");
    EXPECT_EQ(TruncateToBytes("abc\x82\xA0", 4), "abc\x82");

    FakeDoubleByteCase dbcs;
    CodePageScope scope(&dbcs);
    struct Case {
        std::string text;
        std::size_t max;
        std::string kept;
    } cases[] = {{"A\x82\xA0"
                  "B",
                  2, "A"},
                 {"A\x82\xA0"
                  "B",
                  3, "A\x82\xA0"},
                 {"\x82\x82\x82\x82\x82\x82", 3, "\x82\x82"},
                 {"a\x82\x82\x82\x82", 3, "a\x82\x82"},
                 {"a\x82\x82\x82\x82", 4, "a\x82\x82"},
                 {"\x82\xA0", 1, ""},
                 {"", 0, ""}};
    for (const Case& c : cases) EXPECT_EQ(TruncateToBytes(c.text, c.max), c.kept) << c.max;
}

}  // namespace
}  // namespace navaid::test
