// Runs of UTF-16 units that are their own bytes (ASCII, and Latin-1's
// letters where a code page has them as they are), found and copied eight
// or sixteen at a time: with SSE2 where the machine has it, with 64-bit words
// elsewhere. Most text is such runs; the conversions and the text box's
// storage look at the rest one unit at a time.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace text {

static_assert(std::endian::native == std::endian::little, "units are read as words");

// Whether the 8 units at p are their own bytes: all below U+0080, or, with
// latin1, all below U+0100 and none from U+0080 to U+009F.
inline bool EightAsBytes(const char16_t* p, bool latin1) {
#if defined(__SSE2__)
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i zero = _mm_setzero_si128();
    const bool ascii =
        _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, _mm_set1_epi16(-0x80)), zero)) == 0xFFFF;
    const bool narrow = _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, _mm_set1_epi16(-0x100)),
                                                          zero)) == 0xFFFF;
    const bool c1 = _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, _mm_set1_epi16(0xE0)),
                                                      _mm_set1_epi16(0x80))) != 0;
    return ascii | (latin1 & narrow & !c1);
#else
    std::uint64_t w[2];
    std::memcpy(w, p, sizeof(w));
    const std::uint64_t any = w[0] | w[1];
    std::uint64_t c1 = 0; // a lane is zero where its unit is from U+0080 to U+009F
    for (const std::uint64_t word : w) {
        const std::uint64_t x = (word & 0x00E000E000E000E0ull) ^ 0x0080008000800080ull;
        c1 |= (x - 0x0001000100010001ull) & ~x & 0x8000800080008000ull;
    }
    const bool ascii = (any & 0xFF80FF80FF80FF80ull) == 0;
    const bool latin = latin1 & ((any & 0xFF00FF00FF00FF00ull) == 0) & (c1 == 0);
    return ascii | latin;
#endif
}

// Whether the 16 units at p are all ASCII.
inline bool SixteenAscii(const char16_t* p) {
#if defined(__SSE2__)
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8));
    const __m128i high = _mm_and_si128(_mm_or_si128(a, b), _mm_set1_epi16(-0x80));
    return _mm_movemask_epi8(_mm_cmpeq_epi16(high, _mm_setzero_si128())) == 0xFFFF;
#else
    std::uint64_t w[4];
    std::memcpy(w, p, sizeof(w));
    return ((w[0] | w[1] | w[2] | w[3]) & 0xFF80FF80FF80FF80ull) == 0;
#endif
}

// The low bytes of 8 units below U+0100.
inline void NarrowEight(const char16_t* units, unsigned char* bytes) {
#if defined(__SSE2__)
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(bytes), _mm_packus_epi16(v, v));
#else
    for (std::size_t k = 0; k < 8; k += 4) {
        std::uint64_t w = 0;
        std::memcpy(&w, units + k, sizeof(w));
        w = (w & 0x000000FF000000FFull) | ((w >> 8) & 0x0000FF000000FF00ull);
        const auto four = static_cast<std::uint32_t>((w & 0xFFFFu) | ((w >> 16) & 0xFFFF0000u));
        std::memcpy(bytes + k, &four, sizeof(four));
    }
#endif
}

// One bit for each of the 16 bytes at p that is not ASCII.
inline unsigned HighBitsSixteen(const unsigned char* bytes) {
#if defined(__SSE2__)
    return static_cast<unsigned>(
        _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes))));
#else
    unsigned high = 0;
    for (std::size_t k = 0; k < 16; k += 8) {
        std::uint64_t w = 0;
        std::memcpy(&w, bytes + k, sizeof(w));
        w = (w >> 7) & 0x0101010101010101ull; // each byte's top bit, at the byte's bottom
        high |= static_cast<unsigned>((w * 0x0102040810204080ull) >> 56) << k;
    }
    return high;
#endif
}

// One bit for each of the 16 bytes at p from low to high, both included.
inline unsigned RangeBitsSixteen(const unsigned char* bytes, unsigned char low,
                                 unsigned char high) {
#if defined(__SSE2__)
    // Taken down by low, the bytes in the range are those no greater than
    // high - low, unsigned: the largest of the two is then high - low.
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
    const __m128i span = _mm_set1_epi8(static_cast<char>(high - low));
    const __m128i off = _mm_sub_epi8(v, _mm_set1_epi8(static_cast<char>(low)));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_max_epu8(off, span), span)));
#else
    unsigned bits = 0;
    for (unsigned k = 0; k < 16; ++k) {
        const auto off = static_cast<unsigned char>(bytes[k] - low);
        bits |= (off <= static_cast<unsigned char>(high - low) ? 1u : 0u) << k;
    }
    return bits;
#endif
}

// One bit for each of the 16 bytes at p from 0x80 to 0x9F.
inline unsigned C1BitsSixteen(const unsigned char* bytes) {
#if defined(__SSE2__)
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
    const __m128i top = _mm_and_si128(v, _mm_set1_epi8(static_cast<char>(0xE0)));
    return static_cast<unsigned>(
        _mm_movemask_epi8(_mm_cmpeq_epi8(top, _mm_set1_epi8(static_cast<char>(0x80)))));
#else
    unsigned c1 = 0;
    for (unsigned k = 0; k < 16; ++k) {
        c1 |= ((bytes[k] & 0xE0u) == 0x80u ? 1u : 0u) << k;
    }
    return c1;
#endif
}

// 16 bytes as 16 units, each byte its own unit; and one bit for each of
// those bytes that is not ASCII.
inline unsigned WidenSixteen(const unsigned char* bytes, char16_t* units) {
#if defined(__SSE2__)
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
    const __m128i zero = _mm_setzero_si128();
    _mm_storeu_si128(reinterpret_cast<__m128i*>(units), _mm_unpacklo_epi8(v, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(units + 8), _mm_unpackhi_epi8(v, zero));
    return static_cast<unsigned>(_mm_movemask_epi8(v));
#else
    unsigned high = 0;
    for (std::size_t k = 0; k < 16; k += 4) {
        std::uint32_t four = 0;
        std::memcpy(&four, bytes + k, sizeof(four));
        std::uint64_t w = four;
        w = (w | (w << 16)) & 0x0000FFFF0000FFFFull;
        w = (w | (w << 8)) & 0x00FF00FF00FF00FFull;
        std::memcpy(units + k, &w, sizeof(w));
        for (std::size_t i = 0; i < 4; ++i) {
            high |= static_cast<unsigned>((four >> (8 * i + 7)) & 1u) << (k + i);
        }
    }
    return high;
#endif
}

} // namespace text
