// The one case-insensitive comparison of the window system and the device
// names: Unicode simple case folding, the same whatever the locale, so that a
// mnemonic, a list entry typed at, a file filter and "com3:" all mean one
// thing by "ignoring case".
#pragma once

#include <string_view>

namespace text {

char32_t FoldCase(char32_t c);

// Negative, zero or positive as a sorts before, with or after b, each
// character folded (UTF-16 units that are surrogates compare as they are).
int CompareFolded(std::u16string_view a, std::u16string_view b);

} // namespace text
