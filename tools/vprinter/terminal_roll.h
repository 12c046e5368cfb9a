#pragma once

#include "tools/vprinter/events.h"
#include "tools/vprinter/roll.h"

#include <ostream>
#include <string_view>

namespace vprinter {

// The roll as text, one printed row of paper a row of text between two
// paper edges, 48 columns wide like the paper. Width factors repeat each
// character across, height factors repeat the row down; upside-down rows are
// turned round (order reversed, letters flipped where Unicode has a flipped
// form, pushed to the right edge). With `ansi`, underline and white-on-black
// use the terminal's underline and reverse video; without, underline is a
// row of marks under the text and white-on-black a tag after the edge.
class TerminalRoll {
public:
    TerminalRoll(std::ostream& out, bool ansi) : out_(out), ansi_(ansi) {}

    void print(const Line& line);
    // A remark between the rows; `problem` marks what went wrong.
    void note(std::string_view text, bool problem = false);
    // Lines are printed, everything else becomes a note.
    void show(const Event& event);

private:
    std::ostream& out_;
    bool ansi_;
};

// The character that looks like `c` turned by 180 degrees, or `c` itself.
char32_t turned(char32_t c);

} // namespace vprinter
