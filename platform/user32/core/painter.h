// Drawing into the grid on behalf of one window: coordinates relative to the
// window, everything clipped to the window and the grid.
#pragma once

#include "platform/screen/grid.h"

#include <string_view>

namespace user32 {

struct CellRect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;

    int right() const { return x + w; }
    int bottom() const { return y + h; }
    bool contains(int px, int py) const {
        return px >= x && py >= y && px < right() && py < bottom();
    }
    bool intersects(const CellRect& o) const {
        return x < o.right() && o.x < right() && y < o.bottom() && o.y < bottom();
    }
    CellRect intersect(const CellRect& o) const;
    bool operator==(const CellRect&) const = default;
};

class Painter {
public:
    // origin: screen cell of the window's (0, 0); clip: screen cells drawable.
    Painter(screen::Grid& grid, int originX, int originY, CellRect clip);

    // A painter for the area r (relative to this one), clipped to it.
    Painter inner(CellRect r) const;

    void put(int x, int y, char32_t ch, screen::Role role, std::uint8_t attrs = 0);
    // Writes one character, wide ones over two cells (a wide character with
    // no room for its second cell shows as a blank), one of no width joined
    // to the cell before x; answers the cells used.
    int glyph(int x, int y, char32_t ch, screen::Role role, std::uint8_t attrs = 0);
    // Writes text from (x, y); answers the cells used. A character of no
    // width at the start has no base: it shows on a blank of its own.
    int text(int x, int y, std::u32string_view s, screen::Role role, std::uint8_t attrs = 0);
    void fill(CellRect r, char32_t ch, screen::Role role, std::uint8_t attrs = 0);
    void frame(CellRect r, screen::Role role, std::uint8_t attrs = 0);
    // Shows the text cursor at (x, y) if that cell is drawable.
    void cursor(int x, int y);

private:
    screen::Grid* grid_;
    int ox_;
    int oy_;
    CellRect clip_;
};

} // namespace user32
