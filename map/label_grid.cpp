#include "label_grid.h"

#include <algorithm>
#include <cmath>

namespace navaid {

namespace {

constexpr double kCellSize = 64;
constexpr int kSteps = 4;                                    // bitmap cells per pixel
constexpr int kSide = static_cast<int>(kCellSize) * kSteps;  // bitmap cells per side

int CellOf(double v) { return static_cast<int>(std::floor(v / kCellSize)); }
long long Key(int x, int y) { return (static_cast<long long>(x) << 32) ^ (y & 0xffffffffLL); }

// The bitmap cells a box touches inside grid cell (cx, cy), as [first, last].
struct Span {
    int x0, y0, x1, y1;
};
Span SpanOf(int cx, int cy, double x0, double y0, double x1, double y1) {
    auto clamp = [](double v, int origin) {
        return std::clamp(static_cast<int>(std::floor((v - origin * kCellSize) * kSteps)), 0,
                          kSide - 1);
    };
    return {clamp(x0, cx), clamp(y0, cy), clamp(x1, cx), clamp(y1, cy)};
}

// The bits x0 to x1 of a row that fall in its word w (a row is whole words).
std::uint64_t RowMask(int w, int x0, int x1) {
    const int first = std::max(x0, w * 64) - w * 64, last = std::min(x1, w * 64 + 63) - w * 64;
    if (first > last) return 0;
    const std::uint64_t upTo =
        last == 63 ? ~std::uint64_t{0} : (std::uint64_t{1} << (last + 1)) - 1;
    return upTo & ~((std::uint64_t{1} << first) - 1);
}

constexpr int kWordsPerRow = kSide / 64;

}  // namespace

bool LabelGrid::Overlaps(const Cell& cell, int cx, int cy, const Box& b) {
    if (cell.bits.empty()) {
        for (const Box& o : cell.boxes)
            if (b.x0 < o.x1 && o.x0 < b.x1 && b.y0 < o.y1 && o.y0 < b.y1) return true;
        return false;
    }
    const Span s = SpanOf(cx, cy, b.x0, b.y0, b.x1, b.y1);
    for (int y = s.y0; y <= s.y1; ++y)
        for (int w = s.x0 / 64; w <= s.x1 / 64; ++w)
            if (cell.bits[y * kWordsPerRow + w] & RowMask(w, s.x0, s.x1)) return true;
    return false;
}

void LabelGrid::Add(Cell& cell, int cx, int cy, const Box& box) {
    if (cell.bits.empty() && cell.boxes.size() < kExactBoxes) {
        cell.boxes.push_back(box);
        return;
    }
    if (cell.bits.empty()) {
        cell.bits.assign(kSide * kSide / 64, 0);
        for (const Box& old : cell.boxes) Add(cell, cx, cy, old);
        std::vector<Box>().swap(cell.boxes);
    }
    const Span s = SpanOf(cx, cy, box.x0, box.y0, box.x1, box.y1);
    for (int y = s.y0; y <= s.y1; ++y)
        for (int w = s.x0 / 64; w <= s.x1 / 64; ++w)
            cell.bits[y * kWordsPerRow + w] |= RowMask(w, s.x0, s.x1);
}

bool LabelGrid::TryPlace(double x0, double y0, double x1, double y1) {
    const Box box{x0, y0, x1, y1};
    for (int cx = CellOf(x0); cx <= CellOf(x1); ++cx) {
        for (int cy = CellOf(y0); cy <= CellOf(y1); ++cy) {
            auto cell = cells_.find(Key(cx, cy));
            if (cell != cells_.end() && Overlaps(cell->second, cx, cy, box)) return false;
        }
    }
    Place(x0, y0, x1, y1);
    return true;
}

void LabelGrid::Place(double x0, double y0, double x1, double y1) {
    for (int cx = CellOf(x0); cx <= CellOf(x1); ++cx)
        for (int cy = CellOf(y0); cy <= CellOf(y1); ++cy)
            Add(cells_[Key(cx, cy)], cx, cy, {x0, y0, x1, y1});
}

}  // namespace navaid
