// Record encoding and decoding, type blocks, and the code page's case mapping,
// trimming and truncation that fix a record's stored text.
#include <limits>

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
                Encoded(family, Entry(c.id, c.name, family == Family::Vor ? "VOR" : "NDB"));
            ASSERT_EQ(record.size(), RecordSize(family)) << c.id;
            EXPECT_EQ(record.substr(0, 10), c.storedId);
            EXPECT_EQ(record.substr(10, 20), c.storedName);
        }
    }
}

TEST(EncodeRecordTest, EveryTypeNameGivesItsBlock) {
    const std::tuple<Family, const char*, std::string> cases[] = {
        {Family::Vor, "VOR", kVorBlock},
        {Family::Vor, "VORTAC", kVortacBlock},
        {Family::Vor, "TACAN", kTacanBlock},
        {Family::Vor, "VOR-DME", kVorDmeBlock},
        {Family::Vor, "DME", kDmeBlock},
        {Family::Vor, " vortac\t", kVortacBlock},
        {Family::Ndb, "NDB", kNdbBlock},
        {Family::Ndb, "NDB-DME", kNdbDmeBlock},
        {Family::Ndb, "\r\nndb-dme ", kNdbDmeBlock}};
    for (const auto& [family, name, block] : cases) {
        const std::string record = Encoded(family, Entry("X", "Y", name));
        ASSERT_EQ(record.size(), RecordSize(family)) << name;
        EXPECT_EQ(record.substr(50), block) << name;
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
    EXPECT_EQ(Encoded(Family::Vor, e).substr(30, 20), Le32(0x7FC01234) + Le32(0x80000000) +
                                                          Le32(0xFF800000) + Le32(0x00000001) +
                                                          Le32(0x80000000));
    e.altitude = -1;
    EXPECT_EQ(Encoded(Family::Vor, e).substr(46, 4), "\xFF\xFF\xFF\xFF");
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
    const std::pair<std::string, std::string> cases[] = {
        // The 10th byte would be the lead byte of a pair: the pair goes, a space fills.
        {"abcdefghi\x82\xA0", "ABCDEFGHI "},
        {"abcdefgh\x82\xA0", "ABCDEFGH\x82\xA0"},
        // Trail bytes that look like lead bytes or letters stay paired and unmapped.
        {"a\x82\x82\x82\x82\x82\x82\x82\x82\x82\x82", "A\x82\x82\x82\x82\x82\x82\x82\x82 "},
        {"\x82\x61\x82\x61\x82\x61\x82\x61\x82\x61x", "\x82\x61\x82\x61\x82\x61\x82\x61\x82\x61"}};
    for (const auto& [id, storedId] : cases)
        EXPECT_EQ(Encoded(Family::Vor, Entry(id, "n", "VOR")).substr(0, 10), storedId) << id;
    const std::string name = std::string(19, 'n') + "\x82\xA0";
    EXPECT_EQ(Encoded(Family::Ndb, Entry("i", name, "NDB")).substr(10, 20),
              std::string(19, 'N') + " ");
}

TEST(CodePageTest, Windows1252CaseMapping) {
    // Letters whose case differs in Windows-1252; every other byte keeps its value.
    const std::pair<unsigned, unsigned> extraPairs[] = {
        {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8E, 0x9E}, {0x9F, 0xFF}};
    for (unsigned b = 0; b < 256; ++b) {
        if (b == 0xB5 || b == 0xDF) continue;  // no single-byte counterpart either way
        unsigned upper = b, lower = b;
        if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7)) upper = b - 32;
        if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) lower = b + 32;
        for (const auto& [capital, small] : extraPairs) {
            if (b == small) upper = capital;
            if (b == capital) lower = small;
        }
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(static_cast<unsigned char>(UpperCase(one)[0]), upper) << "byte " << b;
        EXPECT_EQ(static_cast<unsigned char>(LowerCase(one)[0]), lower) << "byte " << b;
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
    const std::tuple<std::string, std::size_t, std::string> cases[] = {
        {"A\x82\xA0\x42", 2, "A"},
        {"A\x82\xA0\x42", 3, "A\x82\xA0"},
        {"\x82\x82\x82\x82\x82\x82", 3, "\x82\x82"},
        {"a\x82\x82\x82\x82", 3, "a\x82\x82"},
        {"a\x82\x82\x82\x82", 4, "a\x82\x82"},
        {"\x82\xA0", 1, ""},
        {"", 0, ""}};
    for (const auto& [text, max, kept] : cases) EXPECT_EQ(TruncateToBytes(text, max), kept) << max;
}

}  // namespace
}  // namespace navaid::test
