#include "platform/text/composition.h"

#include <array>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

namespace text {
namespace {

// Conversion asks about the next character of every character it writes, so
// the Basic Multilingual Plane's marks are looked up in one 8 KB bitmap.
using MarkBits = std::array<std::uint64_t, 0x10000 / 64>;

MarkBits BuildMarks() {
    MarkBits m{};
    for (UChar32 c = 0x300; c < 0x10000; ++c) {
        if (u_charType(c) == U_NON_SPACING_MARK) {
            m[static_cast<std::size_t>(c) >> 6] |= std::uint64_t{1} << (c & 63);
        }
    }
    return m;
}

const icu::Normalizer2* Nfc() {
    UErrorCode err = U_ZERO_ERROR;
    const icu::Normalizer2* n = icu::Normalizer2::getNFCInstance(err);
    return U_SUCCESS(err) ? n : nullptr;
}

const icu::Normalizer2* Nfd() {
    UErrorCode err = U_ZERO_ERROR;
    const icu::Normalizer2* n = icu::Normalizer2::getNFDInstance(err);
    return U_SUCCESS(err) ? n : nullptr;
}

} // namespace

const std::uint64_t* BmpNonspacingMarks() {
    static const MarkBits marks = BuildMarks();
    return marks.data();
}

bool IsNonspacingMark(char32_t c) {
    if (c < 0x300) {
        return false;
    }
    if (c < 0x10000) {
        return IsNonspacingMark(BmpNonspacingMarks(), static_cast<char16_t>(c));
    }
    return c <= 0x10FFFF && u_charType(static_cast<UChar32>(c)) == U_NON_SPACING_MARK;
}

char32_t ComposePair(char32_t base, char32_t mark) {
    static const icu::Normalizer2* nfc = Nfc();
    if (nfc == nullptr || base > 0x10FFFF || mark > 0x10FFFF) {
        return 0;
    }
    const UChar32 c = nfc->composePair(static_cast<UChar32>(base), static_cast<UChar32>(mark));
    return c < 0 ? 0 : static_cast<char32_t>(c);
}

void AppendDecomposed(std::u16string& out, char16_t c) {
    static const icu::Normalizer2* nfd = Nfd();
    icu::UnicodeString d;
    const bool hangul = c >= 0xAC00 && c <= 0xD7A3;
    if (c < 0xC0 || hangul || nfd == nullptr || !nfd->getDecomposition(c, d)) {
        out += c;
        return;
    }
    out.append(reinterpret_cast<const char16_t*>(d.getBuffer()),
               static_cast<std::size_t>(d.length()));
}

} // namespace text
