// Runs of UTF-16 units that are their own bytes (ASCII, and Latin-1's
// letters where a code page has them as they are), found and copied sixteen
// at a time: with SSE2 where the machine has it, with 64-bit words or unit by
// unit elsewhere. Most text is such runs; the conversions and the text box's
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

// 16 units classified and narrowed in one step: which of them are their own
// bytes (below U+0080, or, with latin1, below U+0100 and not from U+0080 to
// U+009F) and their low bytes, ready to be stored at once when all of them
// are. A conversion that meets a unit that is not its own byte still has the
// bytes of the units before it.
struct SixteenUnits {
#if defined(__SSE2__)
    explicit SixteenUnits(const char16_t* p, bool latin1) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8));
        // Saturated, so a byte is exact wherever the unit's high byte is zero.
        bytes_ = _mm_packus_epi16(a, b);
        const __m128i high = _mm_packus_epi16(_mm_srli_epi16(a, 8), _mm_srli_epi16(b, 8));
        const __m128i narrow = _mm_cmpeq_epi8(high, _mm_setzero_si128());
        const __m128i excluded =
            latin1 ? _mm_cmpeq_epi8(_mm_and_si128(bytes_, _mm_set1_epi8(static_cast<char>(0xE0))),
                                    _mm_set1_epi8(static_cast<char>(0x80)))
                   : bytes_; // only the top bit counts below
        asBytes_ = static_cast<unsigned>(_mm_movemask_epi8(narrow)) &
                   ~static_cast<unsigned>(_mm_movemask_epi8(excluded)) & 0xFFFFu;
    }
    void store(unsigned char* out) const {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), bytes_);
    }
#else
    explicit SixteenUnits(const char16_t* p, bool latin1) {
        for (unsigned k = 0; k < 16; ++k) {
            const char16_t u = p[k];
            bytes_[k] = static_cast<unsigned char>(u);
            const bool own = u < 0x80 || (latin1 && u >= 0xA0 && u < 0x100);
            asBytes_ |= (own ? 1u : 0u) << k;
        }
    }
    void store(unsigned char* out) const {
        std::memcpy(out, bytes_, sizeof(bytes_));
    }
#endif
    // The first n bytes (n < 16), and nothing after them.
    void storeFirst(unsigned char* out, std::size_t n) const {
        unsigned char all[16];
        store(all);
        std::size_t at = 0;
        constexpr std::size_t kParts[] = {8, 4, 2, 1};
        for (const std::size_t part : kParts) {
            if ((n & part) != 0) {
                std::memcpy(out + at, all + at, part);
                at += part;
            }
        }
    }
    // One bit for each unit that is its own byte, unit 0 the lowest.
    unsigned asBytes() const {
        return asBytes_;
    }

private:
#if defined(__SSE2__)
    __m128i bytes_;
#else
    unsigned char bytes_[16] = {};
#endif
    unsigned asBytes_ = 0;
};

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
