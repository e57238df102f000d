// The comma-separated navaid list: header lines, record lines to the
// character, trailing pieces, type texts and the bytes copied from ID and Name.
#include <limits>

#include "navaid_db.h"
#include "test_support.h"

namespace navaid::test {
namespace {

const std::string kVorHeader =
    "ID ,Name ,  Latitude ,   Longitude ,   Frequency ,   MagVar ,  Altitude ,    Type ,\r\n";
const std::string kNdbHeader = "ID ,Name ,Latitude ,Longitude ,Frequency ,MagVar ,Type ,\r\n";

RecordFields NdbSample() {
    RecordFields f;
    f.id = "XY";
    f.name = "SAMPLE NDB";
    f.latitude = 47.5f;
    f.longitude = -0.25f;
    f.frequency = 375;
    f.magVar = 0;
    f.altitude = 0;
    f.typeBlock = kNdbDmeBlock;
    return f;
}

const std::string kVorSampleLine =
    "ABC       ,SAMPLE              , 50.1234,  8.5678,   114.2,    -1.5,     500,    VOR-DME,"
    "\r\n";
const std::string kNdbSampleLine =
    "XY        ,SAMPLE NDB          ,    47.5,   -0.25,     375,       0,    NDB-DME,\r\n";

class ListTest : public FileTest {
protected:
    std::string Export(Family family, const std::string& source) {
        WriteAll(Path("db.qvz"), source);
        WriteAll(Path("db.qvz.txt"), std::string(5000, '#'));
        const Outcome outcome = ExportNavaidList(family, Path("db.qvz"), Path("db.qvz.txt"));
        EXPECT_TRUE(outcome.ok) << outcome.Message();
        EXPECT_EQ(ReadAll(Path("db.qvz")), source);
        return ReadAll(Path("db.qvz.txt"));
    }
};

TEST_F(ListTest, HeaderAndCompleteRecordsOnly) {
    const std::string vor = Record(RecordFields{});
    const std::string ndb = Record(NdbSample());
    struct Case {
        Family family;
        std::string source, list;
    } cases[] = {
        {Family::Vor, "", kVorHeader},
        {Family::Ndb, "", kNdbHeader},
        {Family::Vor, vor, kVorHeader + kVorSampleLine},
        {Family::Ndb, ndb, kNdbHeader + kNdbSampleLine},
        {Family::Vor, vor + vor + vor,
         kVorHeader + kVorSampleLine + kVorSampleLine + kVorSampleLine},
        {Family::Vor, vor + std::string(4, 'x'), kVorHeader + kVorSampleLine},  // 60 bytes
        {Family::Vor, vor + vor.substr(0, 55), kVorHeader + kVorSampleLine},
        {Family::Ndb, ndb.substr(0, 52), kNdbHeader},
        {Family::Ndb, ndb + ndb, kNdbHeader + kNdbSampleLine + kNdbSampleLine},
    };
    for (const Case& c : cases) EXPECT_EQ(Export(c.family, c.source), c.list) << c.source.size();
    EXPECT_EQ(ListHeaderLine(Family::Vor), kVorHeader);
    EXPECT_EQ(ListHeaderLine(Family::Ndb), kNdbHeader);
}

TEST_F(ListTest, MissingSourceIsCreatedAndListHoldsTheHeader) {
    const Outcome outcome = ExportNavaidList(Family::Ndb, Path("typed.qvz"), Path("typed.qvz.txt"));
    ASSERT_TRUE(outcome.ok) << outcome.Message();
    EXPECT_EQ(ReadAll(Path("typed.qvz.txt")), kNdbHeader);
    EXPECT_TRUE(fs::exists(Path("typed.qvz")));
}

TEST_F(ListTest, NumberColumnsFollowTheFormatsAndWidth) {
    RecordFields f;
    f.id = "A";
    f.name = "B";
    f.latitude = 0.00001f;
    f.longitude = 100.0625f;
    f.frequency = 1234567.0f;
    f.magVar = -0.0f;
    f.altitude = std::numeric_limits<std::int32_t>::min();
    f.typeBlock = std::string("\x09\x01\x02\x03\x04\x05", 6);
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

TEST_F(ListTest, TypeTextComesFromTheFirstBlockByte) {
    const std::pair<int, const char*> vorCodes[] = {{1, "VOR"},
                                                    {2, "VORTAC"},
                                                    {3, "TACAN"},
                                                    {4, "VOR-DME"},
                                                    {9, "DME"},
                                                    {0, "Type undefined"},
                                                    {5, "Type undefined"},
                                                    {8, "Type undefined"},
                                                    {10, "Type undefined"},
                                                    {255, "Type undefined"},
                                                    {'1', "Type undefined"}};
    for (const auto& [code, text] : vorCodes) {
        RecordFields f;
        f.typeBlock = std::string(1, static_cast<char>(code)) + std::string("\0\0\0\0\0", 5);
        const std::string list = Export(Family::Vor, Record(f));
        EXPECT_EQ(list.substr(list.size() - 8 - std::string(text).size()),
                  std::string(",    ") + text + ",\r\n")
            << code;
    }
    const std::pair<std::string, const char*> ndbCodes[] = {{"5  ", "NDB"},
                                                            {"7  ", "NDB-DME"},
                                                            {"\x05  ", "Type undefined"},
                                                            {"6  ", "Type undefined"},
                                                            {"   ", "Type undefined"}};
    for (const auto& [block, text] : ndbCodes) {
        RecordFields f = NdbSample();
        f.typeBlock = block;
        const std::string list = Export(Family::Ndb, Record(f));
        EXPECT_EQ(list.substr(kNdbHeader.size() + 72), std::string(text) + ",\r\n") << text;
    }
}

TEST_F(ListTest, IdAndNameBytesAreCopiedWithLineFeedsAsCrLf) {
    RecordFields f = NdbSample();
    f.id = std::string("A\nB\r\n\0\x1A\xFF\0C", 10);
    f.name = std::string("\0\0\t\x7F", 4) + "\xE4\n";
    const std::string list = Export(Family::Ndb, Record(f));
    EXPECT_EQ(list, kNdbHeader + std::string("A\r\nB\r\r\n\0\x1A\xFF\0C,", 13) +
                        std::string("\0\0\t\x7F", 4) + "\xE4\r\n" + std::string(14, ' ') +
                        kNdbSampleLine.substr(31));
    EXPECT_EQ(ListRecordLine(Family::Ndb,
                             reinterpret_cast<const std::uint8_t*>(Record(NdbSample()).data())),
              kNdbSampleLine);
}

}  // namespace
}  // namespace navaid::test
