#include "platform/text/zero_width.h"

#include <array>
#include <cstdint>
#include <unicode/uchar.h>

namespace text {
namespace {

bool ZeroWidthByProperty(UChar32 c) {
    switch (u_charType(c)) {
    case U_NON_SPACING_MARK:
    case U_ENCLOSING_MARK:
        return true;
    case U_FORMAT_CHAR:
        // The soft hyphen may show as a hyphen, and the prepended marks
        // (Arabic number signs) carry their own glyph: both take a cell.
        return c != 0xAD && u_hasBinaryProperty(c, UCHAR_PREPENDED_CONCATENATION_MARK) == 0;
    default:
        break;
    }
    // Hangul vowels and final consonants that follow a leading consonant
    // make one syllable with it (only the two Jamo blocks hold them).
    if ((c < 0x1160 || c > 0x11FF) && (c < 0xD7B0 || c > 0xD7FF)) {
        return false;
    }
    const auto type = u_getIntPropertyValue(c, UCHAR_HANGUL_SYLLABLE_TYPE);
    return type == U_HST_VOWEL_JAMO || type == U_HST_TRAILING_JAMO;
}

// Layout asks about every character of a line, so the Basic Multilingual
// Plane is looked up in a bitmap made once.
using Bits = std::array<std::uint64_t, 0x10000 / 64>;

Bits BuildBits() {
    Bits bits{};
    for (UChar32 c = 0x300; c < 0x10000; ++c) {
        if (ZeroWidthByProperty(c)) {
            bits[static_cast<std::size_t>(c) >> 6] |= std::uint64_t{1} << (c & 63);
        }
    }
    return bits;
}

} // namespace

bool TakesNoCell(char32_t c) {
    if (c < 0x300) {
        return false;
    }
    if (c < 0x10000) {
        static const Bits bits = BuildBits();
        return ((bits[c >> 6] >> (c & 63)) & 1) != 0;
    }
    return c <= 0x10FFFF && ZeroWidthByProperty(static_cast<UChar32>(c));
}

} // namespace text
