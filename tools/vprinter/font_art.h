#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace vprinter::font {

// The printer's built-in font: cells of 8 x 16 dots, 48 characters across
// the 384 dots of a line.
//   rows 0-2    marks over capitals
//   rows 3-11   capitals, digits, ascenders (row 11 is the baseline)
//   rows 5-11   small letters; marks over them sit in rows 2-4
//   rows 12-14  descenders
//   row 15      left free for the underline
// Column 7 stays empty: it is the gap between characters.
inline constexpr int kCellWidth = 8;
inline constexpr int kCellHeight = 16;
inline constexpr int kUnderlineRow = 15;
inline constexpr int kMarkRows = 3;

// Bit 15 is the leftmost dot, so a double-width cell fits the same type.
template <std::size_t N> using Bitmap = std::array<std::uint16_t, N>;
using Rows = Bitmap<kCellHeight>;

// Art is a raw string: a line break, then N rows of eight '.' or '#'. A
// malformed glyph stops the build rather than printing garbage.
template <std::size_t N> consteval Bitmap<N> parse_art(const char* art) {
    Bitmap<N> rows{};
    const char* p = art;
    if (*p++ != '\n') {
        throw "glyph art begins with a line break";
    }
    for (std::size_t r = 0; r < N; ++r) {
        std::uint16_t bits = 0;
        for (int x = 0; x < kCellWidth; ++x) {
            if (p[x] == '#') {
                bits = static_cast<std::uint16_t>(bits | (1u << (15 - x)));
            } else if (p[x] != '.') {
                throw "glyph art uses only '.' and '#'";
            }
        }
        if (p[kCellWidth] != '\n') {
            throw "glyph art rows are eight dots wide";
        }
        p += kCellWidth + 1;
        rows[r] = bits;
    }
    if (*p != '\0') {
        throw "glyph art has too many rows";
    }
    return rows;
}

struct GlyphArt {
    char32_t code;
    Rows rows;
    consteval GlyphArt(char32_t c, const char* art) : code(c), rows(parse_art<kCellHeight>(art)) {}
};

enum class Mark { Grave, Acute, Circumflex, Tilde, Diaeresis, Ring, Caron };

struct MarkArt {
    Mark mark;
    Bitmap<kMarkRows> rows;
    consteval MarkArt(Mark m, const char* art) : mark(m), rows(parse_art<kMarkRows>(art)) {}
};

std::span<const GlyphArt> glyph_art();
std::span<const MarkArt> mark_art();
const Rows& missing_glyph_art();

} // namespace vprinter::font
