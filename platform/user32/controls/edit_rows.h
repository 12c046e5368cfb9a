// How a line of an edit control falls into rows of a given width in cells.
// A character that would pass the right edge starts the next row; a wide
// character takes two cells and a surrogate pair is one wide character; a
// combining mark or joiner takes none (it shows in its base character's
// cell), but at the start of a line, where it shows on a blank. A
// position's row is where the cursor shows before the character there, so
// a full row is followed by a row for the cursor after it.
//
// The line is scanned once, when its rows are made, for where each row
// starts; finding a place then looks at one row. Lines longer than
// kScanLimit are cut every `width` units instead, each unit one cell, so
// that no key ever scans megabytes (wide characters there show as blanks).
// Copies share the line's units and rows.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace user32 {

class LineRows {
public:
    static constexpr std::size_t kScanLimit = 1 << 16;

    // units: the line's units, [start, start + length) of the text; a line
    // longer than kScanLimit needs none (it may be null).
    LineRows(std::shared_ptr<const std::u16string> units, std::size_t start, std::size_t length,
             std::size_t width);
    // A line given whole (tests).
    LineRows(std::u16string_view line, std::size_t width);

    struct Place {
        std::size_t row = 0;
        std::size_t x = 0; // in cells
    };
    // Where the cursor at pos (start <= pos <= start + length) shows.
    Place locate(std::size_t pos) const;
    std::size_t rows() const;
    // The first unit of row r (clamped to the end of the line).
    std::size_t rowStart(std::size_t r) const;
    // The position in row r nearest to cell x.
    std::size_t positionAt(std::size_t r, std::size_t x) const;
    // Cells the unit at i takes (0 for the second half of a surrogate pair).
    std::size_t unitWidth(std::size_t i) const;
    bool cutByUnits() const { return length_ > kScanLimit; }
    std::size_t start() const { return start_; }
    std::size_t width() const { return width_; }
    // The whole line's units, units()[0] at start (empty when cut by units).
    std::u16string_view units() const {
        return units_ && !cutByUnits() ? std::u16string_view(*units_) : std::u16string_view();
    }

private:
    std::size_t end() const { return start_ + length_; }

    std::shared_ptr<const std::u16string> units_;
    std::size_t start_;
    std::size_t length_;
    std::size_t width_;
    // Scanned lines: where rows start (the first at start_), and whether
    // the cursor after the last character needs a row of its own.
    std::shared_ptr<const std::vector<std::size_t>> starts_;
    bool endRow_ = false;
    std::size_t endX_ = 0;
};

// Cells the unit at i takes, seen with its neighbours: a surrogate pair
// takes two, on its first half.
std::size_t UnitCells(std::u16string_view units, std::size_t i);
// The cells units [from, to) take on one row.
std::size_t CellsOf(std::u16string_view units, std::size_t from, std::size_t to);

} // namespace user32
