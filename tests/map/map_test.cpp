// The map's label grid past the boxes a cell keeps exactly: it must still
// refuse every overlap and keep room where nothing stands; and the map's
// three reads on a database in memory; how a change map frames its changes.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "change_map.h"
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

// A change alone gets a degree or so; a line of them room beside it; the
// world is the most there is; the grid and the scale follow the extent.
TEST(ChangeMapFrameTest, FramesGridsAndScalesFollowTheExtent) {
    const std::vector<std::pair<Extent, Extent>> frames = {
        {{50, 50, 8, 8}, {49.4, 50.6, 7.0665, 8.9335}},
        {{40, 60, 10, 10}, {38, 62, 0.665, 19.335}},
        {{-80, 85, -170, 175}, {-90, 90, -180, 180}},
        {CircleBounds({50, 8, 60}), {48.8, 51.2, 6.0932, 9.9068}},
        {CircleBounds({85, 0, 600}), {68.4032, 90, -180, 180}}};
    for (const auto& [bounds, want] : frames) {
        const Extent got = FrameAround(bounds);
        SCOPED_TRACE(std::to_string(bounds.south) + " " + std::to_string(bounds.west));
        EXPECT_NEAR(got.south, want.south, 1e-3);
        EXPECT_NEAR(got.north, want.north, 1e-3);
        EXPECT_NEAR(got.west, want.west, 1e-3);
        EXPECT_NEAR(got.east, want.east, 1e-3);
    }
    const std::pair<double, double> steps[] = {{360, 10}, {40, 10}, {39, 5}, {19, 2},
                                               {7.9, 1}, {3, 0.5}, {1.2, 0.2}, {0.5, 0.1}};
    for (const auto& [span, step] : steps) EXPECT_EQ(GridStep(span), step) << span;
    const std::tuple<double, double, double> scales[] = {
        {0.06, 210, 10}, {21.6, 210, 2000}, {1, 210, 200}, {0.5, 210, 100}, {0.3, 210, 50}};
    for (const auto& [nmPerPixel, pixels, nm] : scales)
        EXPECT_EQ(ScaleBarNm(nmPerPixel, pixels), nm) << nmPerPixel;
}

}  // namespace
}  // namespace navaid
