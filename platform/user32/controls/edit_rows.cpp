#include "platform/user32/controls/edit_rows.h"

#include "platform/screen/char_width.h"
#include "platform/win32/codepage.h"

#include <algorithm>

namespace user32 {

std::size_t UnitCells(std::u16string_view units, std::size_t i) {
    const char16_t c = units[i];
    if (IS_HIGH_SURROGATE(c) && i + 1 < units.size() && IS_LOW_SURROGATE(units[i + 1])) {
        return 2;
    }
    if (IS_LOW_SURROGATE(c) && i > 0 && IS_HIGH_SURROGATE(units[i - 1])) {
        return 0;
    }
    const int cells = screen::CharWidth(c);
    // A mark joins the character before it; one that starts the line has
    // none and shows on a blank.
    return cells == 0 && i == 0 ? 1 : static_cast<std::size_t>(cells);
}

std::size_t CellsOf(std::u16string_view units, std::size_t from, std::size_t to) {
    std::size_t cells = 0;
    for (std::size_t i = from; i < to && i < units.size(); ++i) {
        cells += UnitCells(units, i);
    }
    return cells;
}

LineRows::LineRows(std::shared_ptr<const std::u16string> units, std::size_t start,
                   std::size_t length, std::size_t width)
    : units_(std::move(units)), start_(start), length_(length),
      width_(std::max<std::size_t>(1, width)) {
    if (cutByUnits()) {
        return;
    }
    auto starts = std::make_shared<std::vector<std::size_t>>(1, start_);
    std::size_t x = 0;
    for (std::size_t i = start_; i < end(); ++i) {
        const std::size_t w = unitWidth(i);
        if (x > 0 && x + w > width_) {
            starts->push_back(i);
            x = 0;
        }
        x += w;
    }
    // The cursor after the last character needs a cell of its own.
    endRow_ = x > 0 && x + 1 > width_;
    endX_ = endRow_ ? 0 : x;
    starts_ = std::move(starts);
}

LineRows::LineRows(std::u16string_view line, std::size_t width)
    : LineRows(std::make_shared<const std::u16string>(line), 0, line.size(), width) {}

std::size_t LineRows::unitWidth(std::size_t i) const {
    if (cutByUnits()) {
        return 1;
    }
    return UnitCells(*units_, i - start_);
}

std::size_t LineRows::rows() const {
    if (cutByUnits()) {
        return length_ / width_ + 1;
    }
    return starts_->size() + (endRow_ ? 1 : 0);
}

LineRows::Place LineRows::locate(std::size_t pos) const {
    pos = std::clamp(pos, start_, end());
    if (cutByUnits()) {
        return Place{(pos - start_) / width_, (pos - start_) % width_};
    }
    if (pos == end()) {
        return endRow_ ? Place{starts_->size(), 0} : Place{starts_->size() - 1, endX_};
    }
    const auto after = std::upper_bound(starts_->begin(), starts_->end(), pos);
    const auto row = static_cast<std::size_t>(after - starts_->begin()) - 1;
    return Place{row, CellsOf(*units_, (*starts_)[row] - start_, pos - start_)};
}

std::size_t LineRows::rowStart(std::size_t r) const {
    if (cutByUnits()) {
        return std::min(end(), start_ + r * width_);
    }
    return r < starts_->size() ? (*starts_)[r] : end();
}

std::size_t LineRows::positionAt(std::size_t r, std::size_t x) const {
    const std::size_t end = this->end();
    const std::size_t from = rowStart(r);
    const std::size_t to = rowStart(r + 1);
    // The last row runs to the end of the line; another row stops before
    // its successor's first character.
    const bool last = to >= end && locate(end).row == r;
    std::size_t cells = 0;
    std::size_t i = from;
    for (; i < (last ? end : to); ++i) {
        const std::size_t w = unitWidth(i);
        if (w > 0 && cells + w > x) {
            break;
        }
        cells += w;
    }
    if (!last && i == to && to > from) {
        --i; // the cursor cannot stay after a row that wraps
        // nor inside a surrogate pair or between a character and its marks
        while (i > from && unitWidth(i) == 0) {
            --i;
        }
    }
    return i;
}

} // namespace user32
