#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vprinter {

// How characters are printed. Factors are 1..4; the decoder never lets a
// value outside that range through.
struct CharFormat {
    int width = 1;
    int height = 1;
    bool underline = false;
    bool white = false; // white on black

    friend bool operator==(const CharFormat&, const CharFormat&) = default;
};

// A stretch of a line printed in one format.
struct Run {
    std::u32string text;
    CharFormat format;

    friend bool operator==(const Run&, const Run&) = default;
};

// One line as the printer received it, up to its line feed. Rendering may
// wrap it into several rows of paper.
struct Line {
    std::vector<Run> runs;
    // The format in force when the line began: what an empty line is fed with.
    CharFormat format;
    // Printed rotated by 180 degrees. Taken when the line begins, as a
    // printer decides the direction of a line before it prints it.
    bool upside_down = false;
    // False when the line ended without a line feed (reset, end of stream).
    bool terminated = true;
    std::uint64_t offset = 0; // stream offset of the line's first byte

    std::u32string text() const;
    // The format of the first run, or of the line itself when it is empty.
    const CharFormat& leading_format() const;
    bool empty() const { return runs.empty(); }

    friend bool operator==(const Line&, const Line&) = default;
};

} // namespace vprinter
