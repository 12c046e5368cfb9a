// How many terminal cells a character takes: 2 for the wide characters of
// East Asian scripts and most emoji, 1 otherwise. The grid keeps a wide
// character in its first cell; the cell after it is covered when shown.
#pragma once

namespace screen {

int CharWidth(char32_t ch);

} // namespace screen
