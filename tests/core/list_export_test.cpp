// The comma-separated navaid list: header lines, record lines to the
// character, trailing pieces, type texts and the bytes copied from ID and Name.
#include <limits>

#include "test_support.h"

namespace navaid::test {
namespace {

const std::string kVorHeader =
    "ID ,Name ,  Latitude ,   Longitude ,   Frequency ,   MagVar ,  Altitude ,    Type ,\r\n";
const std::string kNdbHeader = "ID ,Name ,Latitude ,Longitude ,Frequency ,MagVar ,Type ,\r\n";

const RecordFields kVorSample{.altitude = 500};
const RecordFields kNdbSample{"XY", "SAMPLE NDB", 47.5f, -0.25f, 375, 0, 0, kNdbDmeBlock};

const std::string kVorSampleLine =
    "ABC       ,SAMPLE              , 50.1234,  8.5678,   114.2,    -1.5,     500,    VOR-DME,"
    "\r\n";
const std::string kNdbSampleLine =
    "XY        ,SAMPLE NDB          ,    47.5,   -0.25,     375,       0,    NDB-DME,\r\n";

class ListTest : public ScratchTest {
protected:
    std::string Export(Family family, const std::string& source) {
        WriteAll(Path("db.qvz"), source);
        WriteAll(Path("db.qvz.txt"), std::string(5000, '#'));
        const Outcome outcome = ExportNavaidList(family, Path("db.qvz"), Path("db.qvz.txt"));
        EXPECT_TRUE(outcome.ok) << outcome.Message();
        EXPECT_EQ(ReadAll(Path("db.qvz")), source);
        return ReadAll(Path("db.qvz.txt")).value_or("");
    }
};

TEST_F(ListTest, HeaderAndCompleteRecordsOnly) {
    const std::string vor = Record(kVorSample);
    const std::string ndb = Record(kNdbSample);
    struct Case {
        Family family;
        std::string source, list;
    } cases[] = {{Family::Vor, "", kVorHeader},
                 {Family::Ndb, "", kNdbHeader},
                 {Family::Vor, vor, kVorHeader + kVorSampleLine},
                 {Family::Ndb, ndb, kNdbHeader + kNdbSampleLine},
                 {Family::Vor, vor + vor + vor,
                  kVorHeader + kVorSampleLine + kVorSampleLine + kVorSampleLine},
                 {Family::Vor, vor + std::string(4, 'x'), kVorHeader + kVorSampleLine},  // 60 bytes
                 {Family::Vor, vor + vor.substr(0, 55), kVorHeader + kVorSampleLine},
                 {Family::Ndb, ndb.substr(0, 52), kNdbHeader},
                 {Family::Ndb, ndb + ndb, kNdbHeader + kNdbSampleLine + kNdbSampleLine}};
    for (const Case& c : cases) EXPECT_EQ(Export(c.family, c.source), c.list) << c.source.size();
    EXPECT_EQ(ListHeaderLine(Family::Vor), kVorHeader);
    EXPECT_EQ(ListHeaderLine(Family::Ndb), kNdbHeader);
}

TEST_F(ListTest, NumberColumnsFollowTheFormatsAndWidth) {
    RecordFields f{"A",
                   "B",
                   0.00001f,
                   100.0625f,
                   1234567.0f,
                   -0.0f,
                   std::numeric_limits<std::int32_t>::min(),
                   "\x09\x01\x02\x03\x04\x05"};
    EXPECT_EQ(Export(Family::Vor, Record(f)),
              kVorHeader +
                  "A         ,B                   ,  1e-005, 100.063,1.23457e+006,       "
                  "0,-2147483648,    DME,\r\n");

    f.latitude = std::numeric_limits<float>::infinity();
    f.longitude = FloatFromBits(0xFFC00000);
    f.frequency = FloatFromBits(0x7FC00001);
    f.magVar = -std::numeric_limits<float>::infinity();
    f.altitude = 0x12345678;  // never shown in an NDB list
    f.typeBlock = "5\xFF\xFF";
    EXPECT_EQ(Export(Family::Ndb, Record(f)),
              kNdbHeader +
                  "A         ,B                   ,  1.#INF, -1.#IND, 1.#QNAN, -1.#INF,    "
                  "NDB,\r\n");
}

TEST(ListLineTest, TypeTextComesFromTheFirstBlockByteAlone) {
    const auto V = Family::Vor, N = Family::Ndb;
    const char* undefined = kTypeUndefined;
    const std::tuple<Family, int, const char*> cases[] = {
        {V, 1, "VOR"},       {V, 2, "VORTAC"},    {V, 3, "TACAN"},     {V, 4, "VOR-DME"},
        {V, 9, "DME"},       {V, 0, undefined},   {V, 5, undefined},   {V, 8, undefined},
        {V, 10, undefined},  {V, 255, undefined}, {V, '1', undefined}, {N, '5', "NDB"},
        {N, '7', "NDB-DME"}, {N, 5, undefined},   {N, '6', undefined}, {N, ' ', undefined}};
    for (const auto& [family, code, text] : cases) {
        RecordFields f = kNdbSample;
        f.typeBlock = std::string(1, static_cast<char>(code)) + "\xFF\xFF\xFF\xFF\xFF";
        const std::string line =
            ListRecordLine(family, reinterpret_cast<const std::uint8_t*>(Record(f).data()));
        EXPECT_TRUE(line.ends_with(std::string(",    ") + text + ",\r\n")) << line;
    }
    EXPECT_STREQ(kTypeUndefined, "Type undefined");
}

TEST_F(ListTest, IdAndNameBytesAreCopiedWithLineFeedsAsCrLf) {
    RecordFields f = kNdbSample;
    f.id = std::string("A\nB\r\n\0\x1A\xFF\0C", 10);
    f.name = std::string("\0\0\t\x7F", 4) + "\xE4\n";
    const std::string list = Export(Family::Ndb, Record(f));
    EXPECT_EQ(list, kNdbHeader + std::string("A\r\nB\r\r\n\0\x1A\xFF\0C,", 13) +
                        std::string("\0\0\t\x7F", 4) + "\xE4\r\n" + std::string(14, ' ') +
                        kNdbSampleLine.substr(31));
    EXPECT_EQ(ListRecordLine(Family::Ndb,
                             reinterpret_cast<const std::uint8_t*>(Record(kNdbSample).data())),
              kNdbSampleLine);
}

}  // namespace
}  // namespace navaid::test
