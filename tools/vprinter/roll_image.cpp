#include "tools/vprinter/roll_image.h"

#include "tools/vprinter/font.h"

#include <algorithm>

namespace vprinter {

namespace {

int advance_of(const PlacedChar& placed) {
    return (font::is_wide(placed.c) ? 2 : 1) * font::kCellWidth * placed.format.width;
}

void draw_char(Raster& row, const PlacedChar& placed, int left, int row_height) {
    const font::Glyph glyph = font::glyph_for(placed.c);
    const CharFormat& f = placed.format;
    int top = row_height - font::kCellHeight * f.height;
    for (int gy = 0; gy < font::kCellHeight; ++gy) {
        std::uint16_t bits = glyph.rows[static_cast<std::size_t>(gy)];
        for (int gx = 0; gx < glyph.columns; ++gx) {
            bool ink = (bits & (0x8000u >> gx)) != 0;
            if (f.underline && gy == font::kUnderlineRow) {
                ink = true;
            }
            if (f.white) {
                ink = !ink;
            }
            if (!ink) {
                continue;
            }
            for (int dy = 0; dy < f.height; ++dy) {
                for (int dx = 0; dx < f.width; ++dx) {
                    row.set(left + gx * f.width + dx, top + gy * f.height + dy, true);
                }
            }
        }
    }
}

} // namespace

std::vector<std::vector<PlacedChar>> wrap_line(const Line& line, int row_width) {
    std::vector<std::vector<PlacedChar>> rows(1);
    int used = 0;
    for (const Run& run : line.runs) {
        for (char32_t c : run.text) {
            PlacedChar placed{c, run.format};
            int advance = advance_of(placed);
            if (used + advance > row_width && !rows.back().empty()) {
                rows.emplace_back();
                used = 0;
            }
            rows.back().push_back(placed);
            used += advance;
        }
    }
    return rows;
}

Raster render_row(const std::vector<PlacedChar>& row, const Line& line) {
    int height = font::kCellHeight * line.format.height;
    if (!row.empty()) {
        height = 0;
        for (const PlacedChar& placed : row) {
            height = std::max(height, font::kCellHeight * placed.format.height);
        }
    }
    Raster raster(Paper::kPrintWidth, height);
    int left = 0;
    for (const PlacedChar& placed : row) {
        draw_char(raster, placed, left, height);
        left += advance_of(placed);
    }
    return line.upside_down ? raster.rotated_180() : raster;
}

Raster render_roll(std::span<const Line> lines) {
    std::vector<Raster> rows;
    int height = Paper::kTopMargin + Paper::kBottomMargin;
    for (const Line& line : lines) {
        for (const auto& row : wrap_line(line, Paper::kPrintWidth)) {
            rows.push_back(render_row(row, line));
            height += rows.back().height();
        }
    }
    Raster roll(Paper::kWidth, height);
    int y = Paper::kTopMargin;
    for (const Raster& row : rows) {
        roll.blit(row, Paper::kSideMargin, y);
        y += row.height();
    }
    return roll;
}

} // namespace vprinter
