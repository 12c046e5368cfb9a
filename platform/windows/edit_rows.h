// How a line of an edit control falls into rows of a given width in cells.
// A character that would pass the right edge starts the next row; a wide
// character takes two cells and a surrogate pair is one wide character. A
// position's row is where the cursor shows before the character there, so
// a full row is followed by a row for the cursor after it.
//
// Finding a place scans its line from the start. Lines longer than
// kScanLimit are cut every `width` units instead, each unit one cell, so
// that no key ever scans megabytes (wide characters there show as blanks).
#pragma once

#include <cstddef>
#include <string>

namespace windows {

class LineRows {
public:
    static constexpr std::size_t kScanLimit = 1 << 16;

    LineRows(const std::u16string& text, std::size_t start, std::size_t length, std::size_t width);

    struct Place {
        std::size_t row = 0;
        std::size_t x = 0; // in cells
    };
    // Where the cursor at pos (start <= pos <= start + length) shows.
    Place locate(std::size_t pos) const;
    std::size_t rows() const { return locate(start_ + length_).row + 1; }
    // The first unit of row r (clamped to the end of the line).
    std::size_t rowStart(std::size_t r) const;
    // The position in row r nearest to cell x.
    std::size_t positionAt(std::size_t r, std::size_t x) const;
    // Cells the unit at i takes (0 for the second half of a surrogate pair).
    std::size_t unitWidth(std::size_t i) const;
    bool cutByUnits() const { return length_ > kScanLimit; }

private:
    const std::u16string& text_;
    std::size_t start_;
    std::size_t length_;
    std::size_t width_;
};

// The cells the units [from, to) of text take on one row.
std::size_t CellsOf(const std::u16string& text, std::size_t from, std::size_t to);

} // namespace windows
