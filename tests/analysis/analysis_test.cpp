// The checker fed in pieces of any size, and the edit script between record
// sequences, on records and hashes made here.
#include <gtest/gtest.h>

#include "check.h"
#include "edit_script.h"

namespace navaid {
namespace {

std::string Record(const NavaidEntry& entry) {
    std::string bytes;
    EXPECT_TRUE(EncodeRecord(Family::Vor, entry, bytes));
    return bytes;
}

std::string Findings(const std::string& bytes, std::size_t piece) {
    DatabaseChecker checker(Family::Vor);
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    for (std::size_t at = 0; at < bytes.size(); at += piece)
        checker.Feed(data + at, std::min(piece, bytes.size() - at));
    std::string text;
    for (const Finding& f : checker.Finish())
        text += std::to_string(f.index) + (f.warning ? " w " : " e ") + f.text + "\n";
    return text;
}

TEST(CheckerTest, FindingsDoNotDependOnHowTheBytesArrive) {
    // 0.16 degrees of latitude are 9.6 NM: a duplicate; 0.17 (10.2 NM) is not.
    const std::string bytes = Record({"FFM", "A", 50, 8, 114.2f, 0, 0, "VOR"}) +
                              Record({"FFM", "B", 50.16f, 8, 114.2f, 0, 0, "VOR"}) +
                              Record({"FFM", "C", 50.33f, 8, 114.2f, 0, 0, "VOR"}) +
                              Record({"FFM", "D", 50.16f, 8, 99, 0, 0, "DME"}) + "piece";
    const std::string expected =
        "1 w likely duplicate of record 0 (same type VOR and ID 'FFM', 9.6 NM apart)\n"
        "3 w frequency 99 is outside the VOR band 108.00-117.95 MHz\n"
        "4 e trailing piece of 5 bytes at offset 224 is not a whole record\n";
    for (std::size_t piece : {bytes.size(), std::size_t{56}, std::size_t{1}, std::size_t{57}})
        EXPECT_EQ(Findings(bytes, piece), expected) << piece;
}

std::string Script(const std::vector<std::uint64_t>& a, const std::vector<std::uint64_t>& b,
                   long maxSearched = 2000) {
    RecordHashes ha{{a.begin(), a.end()}, {}}, hb{{b.begin(), b.end()}, {}};
    std::string text;
    const bool differ = ForEachEdit(
        ha, hb,
        [&](const Edit& e) {
            text += e.added ? '+' : '-';
            text += std::to_string(e.index);
            text += ' ';
        },
        maxSearched);
    EXPECT_EQ(differ, !text.empty());
    return text;
}

TEST(EditScriptTest, ShortestScriptInFileOrderAndTheWholeMiddleBeyondTheSearch) {
    const std::vector<
        std::tuple<std::vector<std::uint64_t>, std::vector<std::uint64_t>, std::string>>
        cases = {
            {{1, 2, 3}, {1, 2, 3}, ""},
            {{1, 2, 3}, {1, 3}, "-1 "},
            {{1, 2, 3}, {1, 2, 3, 9}, "+3 "},
            {{1, 2, 3}, {1, 9, 3}, "-1 +1 "},
            {{1, 2, 3}, {3, 1, 2}, "+0 -2 "},
            {{1, 2, 3}, {}, "-0 -1 -2 "},
            {{}, {7}, "+0 "},
        };
    for (const auto& [a, b, script] : cases) EXPECT_EQ(Script(a, b), script);
    // Beyond the search the common ends stay and the middle is replaced whole.
    EXPECT_EQ(Script({1, 2, 3, 4, 5}, {1, 7, 8, 9, 5}, 2), "-1 -2 -3 +1 +2 +3 ");
}

}  // namespace
}  // namespace navaid
