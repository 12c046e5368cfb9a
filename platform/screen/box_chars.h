// The few non-ASCII characters the window system draws (frames, arrows, scroll
// bars, check marks), and their ASCII stand-ins for a terminal whose locale is
// not UTF-8. The grid always holds the Unicode character; a front end that
// cannot show it asks AsciiFallback.
#pragma once

namespace screen {

namespace glyph {
inline constexpr char32_t Horizontal = U'\u2500';     // ─
inline constexpr char32_t Vertical = U'\u2502';       // │
inline constexpr char32_t TopLeft = U'\u250C';        // ┌
inline constexpr char32_t TopRight = U'\u2510';       // ┐
inline constexpr char32_t BottomLeft = U'\u2514';     // └
inline constexpr char32_t BottomRight = U'\u2518';    // ┘
inline constexpr char32_t ArrowUp = U'\u25B2';        // ▲
inline constexpr char32_t ArrowDown = U'\u25BC';      // ▼
inline constexpr char32_t Track = U'\u2591';          // ░
inline constexpr char32_t Thumb = U'\u2588';          // █
inline constexpr char32_t DefaultLeft = U'\u00BB';    // » marks the default push button
inline constexpr char32_t DefaultRight = U'\u00AB';   // «
inline constexpr char32_t Hidden = U'\u00B7';         // · a control character in a field
inline constexpr char32_t CarriageReturn = U'\u240D'; // ␍ a "\r" that ends no line, in reverse
} // namespace glyph

// ch itself when it is ASCII, else the closest ASCII character.
char32_t AsciiFallback(char32_t ch);

} // namespace screen
