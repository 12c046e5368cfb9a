#include "platform/terminal/palette.h"

namespace terminal {

using screen::Role;

Look ColourLook(Role role) {
    switch (role) {
    case Role::Desktop:
        return {Colour::Cyan, Colour::Blue};
    case Role::Window:
        return {Colour::Black, Colour::White};
    case Role::Caption:
        return {Colour::White, Colour::Cyan, EmphasisBold};
    case Role::Button:
        return {Colour::Black, Colour::Green};
    case Role::ButtonFocused:
        return {Colour::White, Colour::Green, EmphasisBold};
    case Role::Field:
        return {Colour::Black, Colour::Cyan};
    case Role::FieldFocused:
        return {Colour::White, Colour::Blue, EmphasisBold};
    case Role::Selection:
        return {Colour::White, Colour::Black, EmphasisBold};
    case Role::Disabled:
        return {Colour::Black, Colour::White, EmphasisDim};
    case Role::List:
        return {Colour::Black, Colour::Cyan};
    case Role::Shadow:
        return {Colour::White, Colour::Black, EmphasisDim};
    }
    return {};
}

std::uint8_t MonochromeEmphasis(Role role) {
    switch (role) {
    case Role::Caption:
        return EmphasisReverse | EmphasisBold;
    case Role::ButtonFocused:
    case Role::Selection:
        return EmphasisReverse;
    case Role::Field:
        return EmphasisUnderline;
    case Role::FieldFocused:
        return EmphasisUnderline | EmphasisBold;
    case Role::Disabled:
    case Role::Shadow:
        return EmphasisDim;
    case Role::Desktop:
    case Role::Window:
    case Role::Button:
    case Role::List:
        return EmphasisNone;
    }
    return EmphasisNone;
}

} // namespace terminal
