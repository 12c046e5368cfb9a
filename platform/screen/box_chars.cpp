#include "platform/screen/box_chars.h"

namespace screen {

char32_t AsciiFallback(char32_t ch) {
    if (ch < 0x80) {
        return ch;
    }
    switch (ch) {
    case glyph::Horizontal:
        return U'-';
    case glyph::Vertical:
        return U'|';
    case glyph::TopLeft:
    case glyph::TopRight:
    case glyph::BottomLeft:
    case glyph::BottomRight:
        return U'+';
    case glyph::ArrowUp:
        return U'^';
    case glyph::ArrowDown:
        return U'v';
    case glyph::Track:
        return U' ';
    case glyph::Thumb:
        return U'#';
    case glyph::DefaultLeft:
        return U'>';
    case glyph::DefaultRight:
        return U'<';
    case glyph::Hidden:
        return U'.';
    case glyph::CarriageReturn:
        return U'M'; // in reverse, as a terminal shows ^M
    default:
        return U'?';
    }
}

} // namespace screen
