#include "platform/user32/core/painter.h"

#include "platform/screen/box_chars.h"
#include "platform/screen/char_width.h"
#include "platform/text/utf8.h"

#include <algorithm>

namespace user32 {

CellRect CellRect::intersect(const CellRect& o) const {
    const int l = std::max(x, o.x), t = std::max(y, o.y);
    const int r = std::min(right(), o.right()), b = std::min(bottom(), o.bottom());
    return CellRect{l, t, std::max(0, r - l), std::max(0, b - t)};
}

Painter::Painter(screen::Grid& grid, int originX, int originY, CellRect clip)
    : grid_(&grid), ox_(originX), oy_(originY),
      clip_(clip.intersect(CellRect{0, 0, grid.width(), grid.height()})) {}

Painter Painter::inner(CellRect r) const {
    const CellRect abs{ox_ + r.x, oy_ + r.y, r.w, r.h};
    return Painter(*grid_, abs.x, abs.y, clip_.intersect(abs));
}

void Painter::put(int x, int y, char32_t ch, screen::Role role, std::uint8_t attrs) {
    const int ax = ox_ + x, ay = oy_ + y;
    if (clip_.contains(ax, ay)) {
        // Half of a surrogate pair is no character a terminal can show; a
        // file name's byte that is not UTF-8 is held as one (path_text.h).
        if (text::IsSurrogateCodePoint(ch)) {
            ch = 0xFFFD;
        }
        grid_->at(ax, ay) = screen::Cell{ch, role, attrs};
    }
}

int Painter::glyph(int x, int y, char32_t ch, screen::Role role, std::uint8_t attrs) {
    const int width = screen::CharWidth(ch);
    if (width == 1) {
        put(x, y, ch, role, attrs);
        return 1;
    }
    if (width == 0) {
        if (clip_.contains(ox_ + x - 1, oy_ + y)) {
            grid_->addMark(ox_ + x - 1, oy_ + y, ch);
        }
        return 0;
    }
    if (!clip_.contains(ox_ + x + 1, oy_ + y)) {
        put(x, y, U' ', role, attrs);
        return 1;
    }
    put(x, y, ch, role, attrs);
    put(x + 1, y, U' ', role, attrs);
    return 2;
}

int Painter::text(int x, int y, std::u32string_view s, screen::Role role, std::uint8_t attrs) {
    int n = 0;
    for (char32_t ch : s) {
        if (n == 0 && screen::CharWidth(ch) == 0) {
            n += glyph(x, y, U' ', role, attrs);
        }
        n += glyph(x + n, y, ch, role, attrs);
    }
    return n;
}

void Painter::fill(CellRect r, char32_t ch, screen::Role role, std::uint8_t attrs) {
    // Only the drawable part: a control may be far larger than the screen.
    r = r.intersect(CellRect{clip_.x - ox_, clip_.y - oy_, clip_.w, clip_.h});
    for (int y = r.y; y < r.bottom(); ++y) {
        for (int x = r.x; x < r.right(); ++x) {
            put(x, y, ch, role, attrs);
        }
    }
}

void Painter::frame(CellRect r, screen::Role role, std::uint8_t attrs) {
    using namespace screen::glyph;
    if (r.w < 2 || r.h < 2) {
        return;
    }
    for (int x = r.x + 1; x < r.right() - 1; ++x) {
        put(x, r.y, Horizontal, role, attrs);
        put(x, r.bottom() - 1, Horizontal, role, attrs);
    }
    for (int y = r.y + 1; y < r.bottom() - 1; ++y) {
        put(r.x, y, Vertical, role, attrs);
        put(r.right() - 1, y, Vertical, role, attrs);
    }
    put(r.x, r.y, TopLeft, role, attrs);
    put(r.right() - 1, r.y, TopRight, role, attrs);
    put(r.x, r.bottom() - 1, BottomLeft, role, attrs);
    put(r.right() - 1, r.bottom() - 1, BottomRight, role, attrs);
}

void Painter::cursor(int x, int y) {
    const int ax = ox_ + x, ay = oy_ + y;
    if (clip_.contains(ax, ay)) {
        grid_->cursorX = ax;
        grid_->cursorY = ay;
        grid_->cursorVisible = true;
    }
}

} // namespace user32
