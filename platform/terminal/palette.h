// How each role of the grid looks: a colour pair where the terminal has
// colours, and attributes that keep the form readable where it has none
// (reverse for focus and selection, bold for the caption).
#pragma once

#include "platform/screen/grid.h"

#include <cstdint>

namespace terminal {

// The eight ANSI colours, numbered as the terminal numbers them.
enum class Colour : std::int16_t { Black, Red, Green, Yellow, Blue, Magenta, Cyan, White };

enum Emphasis : std::uint8_t {
    EmphasisNone = 0,
    EmphasisBold = 1,
    EmphasisUnderline = 2,
    EmphasisReverse = 4,
    EmphasisDim = 8,
};

struct Look {
    Colour foreground = Colour::White;
    Colour background = Colour::Black;
    std::uint8_t emphasis = EmphasisNone;
};

// The look of role with colours; and its emphasis on a terminal without them.
Look ColourLook(screen::Role role);
std::uint8_t MonochromeEmphasis(screen::Role role);

// The roles in order; colour pair n + 1 belongs to role n.
inline constexpr int kRoleCount = static_cast<int>(screen::Role::Shadow) + 1;

} // namespace terminal
