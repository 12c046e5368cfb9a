#include "platform/screen/grid.h"

#include "platform/screen/char_width.h"
#include "platform/text/unicode.h"

#include <algorithm>

namespace screen {

void Grid::resize(int width, int height) {
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    cells_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), Cell{});
    cursorX = std::clamp(cursorX, 0, std::max(0, width_ - 1));
    cursorY = std::clamp(cursorY, 0, std::max(0, height_ - 1));
}

void Grid::fill(Cell cell) {
    std::fill(cells_.begin(), cells_.end(), cell);
}

int Grid::put(int x, int y, std::u32string_view text, Role role, std::uint8_t attrs) {
    if (y < 0 || y >= height_) {
        return 0;
    }
    int written = 0;
    for (char32_t ch : text) {
        if (x >= width_) {
            break;
        }
        if (CharWidth(ch) == 0 && x > 0) {
            addMark(x - 1, y, ch);
            continue;
        }
        if (x >= 0) {
            at(x, y) = Cell{ch, role, attrs};
            ++written;
        }
        ++x;
    }
    return written;
}

void Grid::addMark(int x, int y, char32_t mark) {
    if (!contains(x, y)) {
        return;
    }
    if (x > 0 && CharWidth(at(x - 1, y).ch) == 2) {
        --x; // the second cell of a wide character
    }
    at(x, y).addMark(mark);
}

std::string Grid::rowText(int y) const {
    std::u32string row;
    if (y >= 0 && y < height_) {
        row.reserve(static_cast<std::size_t>(width_));
        for (int x = 0; x < width_; ++x) {
            at(x, y).appendTo(row);
        }
    }
    return text::Utf32ToUtf8(row);
}

std::string Grid::text() const {
    std::string out;
    for (int y = 0; y < height_; ++y) {
        if (y > 0) {
            out += '\n';
        }
        out += rowText(y);
    }
    return out;
}

} // namespace screen
