// The character grid that the window system draws into and a front end shows.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace screen {

// What a cell shows, by meaning; a front end picks colours or attributes for it.
enum class Role : std::uint8_t {
    Desktop,       // behind every window
    Window,        // dialog body, static text, group boxes
    Caption,       // the caption bar
    Button,        // a push button or check box
    ButtonFocused, // the button that has the focus
    Field,         // edit fields and combo fields
    FieldFocused,  // the field that has the focus
    Selection,     // selected text, the selected list entry
    Disabled,      // a disabled control
    List,          // an open drop-down list
    Shadow,        // the shadow of a modal window
};

enum Attr : std::uint8_t {
    AttrNone = 0,
    AttrBold = 1,
    AttrUnderline = 2,
    AttrReverse = 4,
};

// Characters of no width (combining marks, joiners) a cell carries after its
// own, as a terminal's cell does; more are dropped.
inline constexpr std::size_t kMarksPerCell = 4;

struct Cell {
    char32_t ch = U' ';
    Role role = Role::Desktop;
    std::uint8_t attrs = AttrNone;
    // The marks, the unused ones 0.
    std::array<char32_t, kMarksPerCell> marks{};
    bool operator==(const Cell&) const = default;

    void addMark(char32_t mark) {
        for (char32_t& slot : marks) {
            if (slot == 0) {
                slot = mark;
                return;
            }
        }
    }
    // The cell's text: its character and its marks.
    void appendTo(std::u32string& out) const {
        out += ch;
        for (char32_t mark : marks) {
            if (mark == 0) {
                break;
            }
            out += mark;
        }
    }
};

class Grid {
public:
    Grid() = default;
    Grid(int width, int height) { resize(width, height); }

    void resize(int width, int height);
    int width() const { return width_; }
    int height() const { return height_; }

    Cell& at(int x, int y) { return cells_[index(x, y)]; }
    const Cell& at(int x, int y) const { return cells_[index(x, y)]; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    void fill(Cell cell);
    // Writes text from (x, y), clipped to the grid, a character of no width
    // joined to the cell before it; answers the number of cells written.
    int put(int x, int y, std::u32string_view text, Role role, std::uint8_t attrs = AttrNone);
    // Joins a character of no width to the cell whose character shows at x
    // (a wide character's second cell belongs to the first).
    void addMark(int x, int y, char32_t mark);

    // The text of row y (or of the whole grid, rows joined by '\n'), as UTF-8,
    // trailing blanks kept, each cell's marks after its character; what
    // snapshot tests compare against.
    std::string rowText(int y) const;
    std::string text() const;

    // The text cursor, where the focused field wants it shown.
    int cursorX = 0;
    int cursorY = 0;
    bool cursorVisible = false;

private:
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
               static_cast<std::size_t>(x);
    }

    int width_ = 0;
    int height_ = 0;
    std::vector<Cell> cells_;
};

} // namespace screen
