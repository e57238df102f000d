// Where the map's symbols and labels already stand, so a label is drawn only
// where it hides nothing. Memory stays bounded however many navaids there are.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace navaid {

// Boxes sorted into 64-pixel cells. A cell keeps its boxes exactly until it
// holds kExactBoxes of them; then it becomes a bitmap of quarter pixels,
// which answers a little more cautiously but no longer grows.
class LabelGrid {
public:
    static constexpr std::size_t kExactBoxes = 512;

    // Places the box unless it overlaps one placed before.
    bool TryPlace(double x0, double y0, double x1, double y1);
    void Place(double x0, double y0, double x1, double y1);

private:
    struct Box {
        double x0, y0, x1, y1;
    };
    struct Cell {
        std::vector<Box> boxes;
        std::vector<std::uint64_t> bits;  // set once the cell has too many boxes
    };
    static bool Overlaps(const Cell& cell, int cx, int cy, const Box& box);
    static void Add(Cell& cell, int cx, int cy, const Box& box);
    std::unordered_map<long long, Cell> cells_;
};

}  // namespace navaid
