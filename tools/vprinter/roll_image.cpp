#include "tools/vprinter/roll_image.h"

#include "tools/vprinter/font.h"

#include <algorithm>
#include <array>

namespace vprinter {

namespace {

int advance_of(const PlacedChar& placed) {
    return (font::is_wide(placed.c) ? 2 : 1) * font::kCellWidth * placed.format.width;
}

// Every byte of dots with each dot repeated 1 to 4 times, most significant
// bit first.
struct Widening {
    std::array<std::array<std::uint32_t, 256>, 5> by_factor{};
    Widening() {
        for (int factor = 1; factor <= 4; ++factor) {
            for (unsigned byte = 0; byte < 256; ++byte) {
                std::uint32_t out = 0;
                for (int bit = 7; bit >= 0; --bit) {
                    for (int i = 0; i < factor; ++i) {
                        out = out << 1 | ((byte >> bit) & 1u);
                    }
                }
                by_factor[static_cast<std::size_t>(factor)][byte] = out;
            }
        }
    }
};

// One row of a glyph's cell (at most 16 dots), each dot repeated `width`
// times, in the low bits.
std::uint64_t widened(std::uint16_t bits, int columns, int width) {
    static const Widening kWidening;
    const auto& table = kWidening.by_factor[static_cast<std::size_t>(width)];
    const std::uint64_t high = table[bits >> 8];
    if (columns <= 8) {
        return high;
    }
    return high << (8 * width) | table[bits & 0xFFu];
}

// A character's cell into the rows of its printed row that start at `top`.
// Cells begin on whole bytes: every advance is a multiple of 8 dots.
void draw_char(PackedRows& paper, int top, int height, const PlacedChar& placed,
               std::size_t first_byte) {
    const font::Glyph glyph = font::glyph_for(placed.c);
    const CharFormat& f = placed.format;
    const int cell_top = top + height - font::kCellHeight * f.height;
    const int bits = glyph.columns * f.width;
    const auto cell_mask = static_cast<std::uint16_t>(0xFFFFu << (16 - glyph.columns));
    for (int gy = 0; gy < font::kCellHeight; ++gy) {
        auto dots =
            static_cast<std::uint16_t>(glyph.rows[static_cast<std::size_t>(gy)] & cell_mask);
        if (f.underline && gy == font::kUnderlineRow) {
            dots = cell_mask;
        }
        if (f.white) {
            dots = static_cast<std::uint16_t>(~dots & cell_mask);
        }
        if (dots == 0) {
            continue;
        }
        const std::uint64_t ink = widened(dots, glyph.columns, f.width);
        for (int dy = 0; dy < f.height; ++dy) {
            std::uint8_t* out = paper.row(cell_top + gy * f.height + dy) + first_byte;
            for (int b = 0; b < bits / 8; ++b) {
                const auto byte = static_cast<std::uint8_t>(ink >> (bits - 8 * (b + 1)));
                out[b] = static_cast<std::uint8_t>(out[b] & ~byte);
            }
        }
    }
}

std::uint8_t reversed_bits(std::uint8_t b) {
    b = static_cast<std::uint8_t>((b & 0xF0u) >> 4 | (b & 0x0Fu) << 4);
    b = static_cast<std::uint8_t>((b & 0xCCu) >> 2 | (b & 0x33u) << 2);
    return static_cast<std::uint8_t>((b & 0xAAu) >> 1 | (b & 0x55u) << 1);
}

// Turns `height` rows from `top` by 180 degrees within the print width.
void turn(PackedRows& paper, int top, int height, std::size_t first_byte) {
    constexpr std::size_t kBytes = Paper::kPrintWidth / 8;
    for (int y = top; y < top + height; ++y) {
        std::uint8_t* row = paper.row(y) + first_byte;
        std::reverse(row, row + kBytes);
        for (std::size_t i = 0; i < kBytes; ++i) {
            row[i] = reversed_bits(row[i]);
        }
    }
    for (int up = top, down = top + height - 1; up < down; ++up, --down) {
        std::swap_ranges(paper.row(up) + first_byte, paper.row(up) + first_byte + kBytes,
                         paper.row(down) + first_byte);
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

int row_height(const std::vector<PlacedChar>& row, const Line& line) {
    int height = font::kCellHeight * line.format.height;
    if (!row.empty()) {
        height = 0;
        for (const PlacedChar& placed : row) {
            height = std::max(height, font::kCellHeight * placed.format.height);
        }
    }
    return height;
}

void draw_row(const std::vector<PlacedChar>& row, const Line& line, PackedRows& paper, int x) {
    const int height = row_height(row, line);
    const int top = paper.height();
    paper.add_blank(height);
    std::size_t byte = static_cast<std::size_t>(x) / 8;
    const std::size_t end = byte + Paper::kPrintWidth / 8;
    for (const PlacedChar& placed : row) {
        const auto advance = static_cast<std::size_t>(advance_of(placed)) / 8;
        if (byte + advance > end) {
            break; // past the print width: only a row that was not wrapped
        }
        draw_char(paper, top, height, placed, byte);
        byte += advance;
    }
    if (line.upside_down) {
        turn(paper, top, height, static_cast<std::size_t>(x) / 8);
    }
}

Raster render_row(const std::vector<PlacedChar>& row, const Line& line) {
    PackedRows paper(Paper::kPrintWidth);
    draw_row(row, line, paper, 0);
    return paper.unpacked();
}

Raster render_roll(std::span<const Line> lines) {
    PackedRows paper(Paper::kWidth);
    paper.add_blank(Paper::kTopMargin);
    for (const Line& line : lines) {
        for (const auto& row : wrap_line(line, Paper::kPrintWidth)) {
            draw_row(row, line, paper, Paper::kSideMargin);
        }
    }
    paper.add_blank(Paper::kBottomMargin);
    return paper.unpacked();
}

} // namespace vprinter
