// How many terminal cells a character takes: 2 for the wide characters of
// East Asian scripts and most emoji, 0 for combining marks and invisible
// format characters (text::TakesNoCell), 1 otherwise. The grid keeps a wide
// character in its first cell, the cell after it covered when shown, and a
// character of no width with the cell before it.
#pragma once

namespace screen {

int CharWidth(char32_t ch);

} // namespace screen
