#pragma once

#include "tools/vprinter/raster.h"
#include "tools/vprinter/roll.h"

#include <span>
#include <vector>

namespace vprinter {

// A 58 mm roll at 8 dots per millimetre: 464 dots of paper, of which the
// printer reaches the middle 384.
struct Paper {
    static constexpr int kDotsPerMm = 8;
    static constexpr int kPrintWidth = 384;
    static constexpr int kWidth = 58 * kDotsPerMm;
    static constexpr int kSideMargin = (kWidth - kPrintWidth) / 2;
    static constexpr int kTopMargin = 2 * kDotsPerMm;
    static constexpr int kBottomMargin = 2 * kDotsPerMm;
};

// One character on the paper: what to draw, in which format.
struct PlacedChar {
    char32_t c = 0;
    CharFormat format;
};

// A line cut into the rows the printer prints, wrapping where the next
// character would run past the printable width. An empty line is one empty
// row.
std::vector<std::vector<PlacedChar>> wrap_line(const Line& line, int row_width);

// One printed row, 384 dots wide, as tall as its tallest character (or the
// line's own height when it has none); characters stand on a common bottom
// edge. Upside-down rows come out rotated by 180 degrees. Drawn below the
// rows `paper` already has, its left edge at dot `x` (a multiple of 8).
int row_height(const std::vector<PlacedChar>& row, const Line& line);
void draw_row(const std::vector<PlacedChar>& row, const Line& line, PackedRows& paper, int x);
Raster render_row(const std::vector<PlacedChar>& row, const Line& line);

// The whole roll: every line, rows one under the other, inside the margins.
Raster render_roll(std::span<const Line> lines);

} // namespace vprinter
