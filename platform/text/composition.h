// The few Unicode properties the composite flags of the code-page calls
// need: which characters are nonspacing marks, which base-and-mark pairs
// have a precomposed character, and canonical decompositions.
#pragma once

#include <cstdint>
#include <string>

namespace text {

// General category Mn (a combining accent such as U+0301).
bool IsNonspacingMark(char32_t c);

// The same for the Basic Multilingual Plane as a bitmap (one bit per code
// point), for loops that ask about every character.
const std::uint64_t* BmpNonspacingMarks();
inline bool IsNonspacingMark(const std::uint64_t* bmp_marks, char16_t c) {
    return ((bmp_marks[c >> 6] >> (c & 63)) & 1) != 0;
}

// The precomposed character for base followed by mark, or 0 when Unicode
// has none (canonical composition, as normalization form C composes).
char32_t ComposePair(char32_t base, char32_t mark);

// Appends the full canonical decomposition of c (c itself when it has none).
// Hangul syllables are left whole: the code pages carry them precomposed.
void AppendDecomposed(std::u16string& out, char16_t c);

} // namespace text
