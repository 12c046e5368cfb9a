#pragma once

#include "tools/vprinter/font_art.h"

namespace vprinter::font {

// A character as the printer draws it: one cell, or two for the characters
// that East Asian printers print double width.
struct Glyph {
    int columns = kCellWidth;
    Rows rows{};
};

bool is_wide(char32_t c);

// Accented letters are drawn as their base letter with a mark; typographic
// quotes and dashes as their plain forms; anything else the font lacks as a
// box, so that a missing character still shows on the paper.
Glyph glyph_for(char32_t c);

} // namespace vprinter::font
