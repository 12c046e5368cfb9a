// The bytes a print job puts on the line for a form left at x2 wide, x1 high,
// underlined, first model; and texts large and varied enough to show a lost,
// doubled or reordered chunk.
#pragma once

#include "tests/support/bytes.h"

#include <cstddef>
#include <cstdio>
#include <string>

namespace faults {

inline const testing_support::Bytes kLeadIn = testing_support::ToBytes({0x00, 0x00});
inline const testing_support::Bytes kBlockX2Underlined =
    testing_support::ToBytes({0x00, 0x1B, 0x55, 0x02, 0x1B, 0x56, 0x01, 0x1B, 0x2D, 0x01, 0x1B,
                              0x63, 0x00, 0x1B, 0x69, 0x00});

// At least nBytes of ASCII in numbered lines, each ending in LF.
inline std::string NumberedLines(std::size_t nBytes) {
    std::string text;
    text.reserve(nBytes + 64);
    for (unsigned line = 0; text.size() < nBytes; ++line) {
        char buffer[64];
        (void)std::snprintf(buffer, sizeof(buffer), "line %07u: the quick brown fox\n", line);
        text += buffer;
    }
    return text;
}

inline std::u16string Widen(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

// What the printer receives for one job with the given ASCII text.
inline testing_support::Bytes PrintStream(const std::string& text) {
    return testing_support::Join({kLeadIn, kBlockX2Underlined, testing_support::ToBytes(text),
                                  testing_support::ToBytes({0x0D, 0x0A, 0x00, 0x00})});
}

} // namespace faults
