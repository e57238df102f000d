// The findings of 'navaid check'.
#include "check.h"

#include <cmath>
#include <limits>

#include "cli_test_support.h"

namespace navaid::test {
namespace {

using namespace cli;

std::vector<Finding> CheckBytes(Family family, const std::string& bytes, std::size_t piece = 0) {
    DatabaseChecker checker(family);
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    if (piece == 0) piece = bytes.size() + 1;
    for (std::size_t at = 0; at < bytes.size(); at += piece)
        checker.Feed(data + at, std::min(piece, bytes.size() - at));
    return checker.Finish();
}

std::string Joined(const std::vector<Finding>& findings) {
    std::string text;
    for (const Finding& f : findings)
        text += std::to_string(f.index) + (f.warning ? " W " : " E ") + f.text + "\n";
    return text;
}

TEST(CheckTest, OneRecordFindings) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        Family family;
        RecordFields record;
        std::string expected;  // "" means clean
    };
    const auto V = Family::Vor, N = Family::Ndb;
    const std::string undefinedVor("\x05\0\0\0\0\0", 6);
    // clang-format off
    const std::vector<Case> cases = {
        {V, {}, ""},
        {V, {.frequency = 108.0f}, ""},
        {V, {.frequency = 117.95f}, ""},
        {V, {.frequency = 130.0f, .typeBlock = kTacanBlock}, ""},  // TACAN's paired VHF frequency
        {N, {.frequency = 1750, .typeBlock = kNdbBlock}, ""},
        {N, {.latitude = -90, .longitude = 180, .frequency = 190, .typeBlock = kNdbDmeBlock}, ""},
        {V, {.frequency = 130, .typeBlock = kVortacBlock}, "0 W frequency 130 is outside the VOR"},
        {V, {.frequency = 107.95f}, "0 W frequency 107.95 is outside the VOR band"},
        {V, {.frequency = 136, .typeBlock = kTacanBlock}, "0 W frequency 136 is outside the TACAN"},
        {N, {.frequency = 114.2f, .typeBlock = kNdbBlock}, "0 W frequency 114.2 is outside"},
        {V, {.typeBlock = undefinedVor}, "0 E type code 5 reads \"Type undefined\""},
        {N, {.frequency = 375, .typeBlock = "6  "}, "0 E type code 54 ('6') reads"},
        {N, {.frequency = 375, .altitude = 500, .typeBlock = kNdbBlock}, "0 E NDB record has non"},
        {V, {.latitude = 90.5f}, "0 E latitude 90.5 is outside -90..90"},
        {V, {.longitude = -180.5f}, "0 E longitude -180.5 is outside -180..180"},
        {V, {.latitude = nan}, "0 E latitude 1.#QNAN is not a finite number"},
        {V, {.magVar = -inf}, "0 E magnetic variation -1.#INF is not a finite number"},
        {V, {.id = "abc"}, "0 W ID 'abc       ' has lower-case letters"},
        {V, {.name = "M\xfcNCHEN"}, "0 W name 'M\xfcNCHEN"},
        {V, {.name = "A\tB"}, "0 E name 'A\\x09B"},
        {V, {.id = std::string("AB\0", 3)}, "0 E ID 'AB\\x00       ' has a zero byte"},
    };
    // clang-format on
    for (const Case& c : cases) {
        const std::string found = Joined(CheckBytes(c.family, Record(c.record)));
        if (c.expected.empty()) {
            EXPECT_EQ(found, "");
        } else {
            EXPECT_EQ(found.rfind(c.expected, 0), 0u) << found;
            EXPECT_EQ(std::count(found.begin(), found.end(), '\n'), 1) << found;
        }
    }
}

TEST(CheckTest, TrailingPieceAndDuplicates) {
    // 5 NM apart with the same type and ID: a likely duplicate; 15 NM apart,
    // another type, or another ID: not. Case and padding of the ID do not matter.
    const double fiveNm = 5.0 / 60.0;
    const std::string bytes =
        Record({.id = "FFM", .latitude = 50, .longitude = 8}) +
        Record({.id = "FFM", .latitude = 50.3f, .longitude = 8}) +
        Record({.id = "FFM", .latitude = 50, .longitude = 8, .typeBlock = kVorBlock}) +
        Record({.id = "XYZ", .latitude = 50, .longitude = 8}) +
        Record({.id = " FFM", .latitude = float(50 + fiveNm), .longitude = 8}) +
        std::string(20, ' ');
    EXPECT_EQ(Joined(CheckBytes(Family::Vor, bytes)),
              "4 W likely duplicate of record 0 (same type VOR-DME and ID 'FFM', 5.0 NM apart)\n"
              "5 E trailing piece of 20 bytes at offset 280 is not a whole record\n");
    // Fed in pieces that split records, the findings are the same.
    for (std::size_t piece : {1, 7, 55, 57, 200})
        EXPECT_EQ(Joined(CheckBytes(Family::Vor, bytes, piece)),
                  Joined(CheckBytes(Family::Vor, bytes)))
            << piece;
}

TEST(CheckTest, SaysWhenTheFileLooksLikeTheOtherFamily) {
    std::string ndb;
    for (const char* id : {"N0", "N1", "N2", "N3"})
        ndb += Record({.id = id, .frequency = 375, .typeBlock = kNdbBlock});
    const auto asVor = CheckBytes(Family::Vor, ndb);
    ASSERT_FALSE(asVor.empty());
    EXPECT_EQ(asVor[0].index, -1);
    EXPECT_EQ(asVor[0].text,
              "the file looks like an NDB database: 100% of its 53-byte records have NDB type "
              "blocks, 0% of its 56-byte records VOR type blocks; its length 212 is a multiple "
              "of 53, not of 56");
    std::string vor;
    for (const char* id : {"V0", "V1", "V2", "V3"})
        vor += Record({.id = id, .typeBlock = kDmeBlock});
    const auto asNdb = CheckBytes(Family::Ndb, vor);
    ASSERT_FALSE(asNdb.empty());
    EXPECT_EQ(asNdb[0].text.rfind("the file looks like a VOR database", 0), 0u);
    // The right family says nothing of the kind.
    EXPECT_TRUE(CheckBytes(Family::Ndb, ndb).empty());
    EXPECT_TRUE(CheckBytes(Family::Vor, vor).empty());
}

using CheckCommandTest = CliTest;

TEST_F(CheckCommandTest, PrintsFindingsAndExitsWithThree) {
    WriteAll("db", Record({.id = "ok"}) + Record({.latitude = 95}));
    EXPECT_EQ(Run({"check", "vor", "db"}), kExitFindings);
    EXPECT_EQ(out_,
              "record 0: warning: ID 'ok        ' has lower-case letters\n"
              "record 1: error: latitude 95 is outside -90..90\n"
              "db: 2 records, 1 error, 1 warning\n");
    WriteAll("empty", "");
    EXPECT_EQ(Run({"check", "ndb", "empty"}), kExitOk);
}

}  // namespace
}  // namespace navaid::test
