// The map's label grid past the boxes a cell keeps exactly: it must still
// refuse every overlap and keep room where nothing stands; and the map's
// three reads on a database in memory.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "job_doubles.h"
#include "label_grid.h"
#include "map_symbols.h"
#include "svg_map.h"

namespace navaid {
namespace {

// The legend counts navaids by symbol: two types sharing one would merge.
TEST(MapSymbolTest, EveryTypeHasASymbolOfItsOwn) {
    std::size_t count = 0;
    const TypeBlock* types = TypeBlocks(count);
    std::set<std::string> symbols;
    for (std::size_t i = 0; i < count; ++i) {
        const char* symbol = MapSymbol(types[i]);
        ASSERT_NE(symbol, nullptr) << types[i].name;
        EXPECT_TRUE(symbols.insert(symbol).second) << symbol;
    }
}

TEST(LabelGridTest, ACrowdedCellStillRefusesOverlapsAndKeepsFreeRoom) {
    LabelGrid grid;
    // One row of small boxes along the cell's top, more than a cell keeps exactly.
    const double step = 60.0 / LabelGrid::kExactBoxes;
    for (std::size_t i = 0; i <= LabelGrid::kExactBoxes; ++i)
        grid.Place(1 + i * step, 1, 1 + i * step + step / 2, 3);
    EXPECT_FALSE(grid.TryPlace(2, 2, 4, 2.5));        // on the row, placed before the change
    EXPECT_FALSE(grid.TryPlace(60, 2.5, 61, 4));      // on the last box, placed after it
    EXPECT_TRUE(grid.TryPlace(10, 20, 30, 30));       // below the row
    EXPECT_FALSE(grid.TryPlace(29, 29, 40, 40));      // on that one
    EXPECT_FALSE(grid.TryPlace(-10, -10, 1.5, 1.5));  // from the next cell up and left
    EXPECT_TRUE(grid.TryPlace(40, 40, 63, 63));
}

TEST(DrawJobTest, OpensOnlyAReadableDatabaseAndDropsTheMapAfterAFailedRead) {
    std::string bytes;
    for (const NavaidEntry& entry : {NavaidEntry{"A", "N", 50, 8, 114.2f, 0, 0, "VOR"},
                                     NavaidEntry{"B", "N", 95, 8, 114.2f, 0, 0, "VOR"},
                                     NavaidEntry{"C", "N", 51, 9, 114.2f, 0, 0, "DME"}}) {
        std::string record;
        ASSERT_TRUE(EncodeRecord(Family::Vor, entry, record));
        bytes += record;
    }
    const RecordSelection notC = [](const DecodedRecord& r) { return r.id[0] != 'C'; };
    // Read failing (0: none), log, records selected and drawn, reads made.
    const std::vector<std::tuple<int, std::string, std::uint64_t, std::uint64_t, int>> cases = {
        {0, "open close", 2, 1, 3},
        {1, "", 0, 0, 1},
        {2, "open discard", 2, 1, 2},
        {3, "open discard", 2, 1, 3}};
    for (const auto& [failAt, log, records, drawn, calls] : cases) {
        test::MemoryDatabase db{bytes, kVorRecordSize};
        db.failAt = failAt;
        test::LogSink out;
        MapCounts counts;
        const Outcome done = Draw({Family::Vor, "M\xFCnster.qvz", notC}, db.Source(), out, counts);
        EXPECT_EQ(done.ok, failAt == 0);
        EXPECT_EQ(out.log, log) << failAt;
        EXPECT_EQ(db.calls, calls);
        if (failAt != 1) {
            EXPECT_EQ(counts.records, records);
            EXPECT_EQ(counts.drawn, drawn);
        }
    }
    test::MemoryDatabase db{bytes, kVorRecordSize};
    test::LogSink out;
    MapCounts counts;
    ASSERT_TRUE(Draw({Family::Vor, "M\xFCnster.qvz", {}}, db.Source(), out, counts));
    EXPECT_NE(out.text.find("<title>VOR database M\xC3\xBCnster.qvz: 3 navaids</title>"),
              std::string::npos);
}

}  // namespace
}  // namespace navaid
