// The map's label grid past the boxes a cell keeps exactly: it must still
// refuse every overlap and keep room where nothing stands.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "label_grid.h"
#include "map_symbols.h"

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

}  // namespace
}  // namespace navaid
