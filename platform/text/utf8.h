// UTF-8, one character at a time: the one coder that the code pages, file
// names, the platform's own text edges and the tools all use. Header-only
// and free of the rest of the platform, so that tools may include it alone.
// It knows nothing of surrogate pairs: callers join those first.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace text {

// Whether a code point lies in the surrogate range, which UTF-8 may not carry.
constexpr bool IsSurrogateCodePoint(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

// The UTF-8 form of c (up to U+10FFFF), surrogates included: a caller that
// must not write them replaces them first; file names keep them.
struct Utf8Form {
    char bytes[4] = {};
    std::size_t size = 0;
};

constexpr Utf8Form EncodeUtf8Form(char32_t c) {
    Utf8Form f;
    const auto byte = [](char32_t b) { return static_cast<char>(b); };
    if (c < 0x80) {
        f.bytes[0] = byte(c);
        f.size = 1;
    } else if (c < 0x800) {
        f.bytes[0] = byte(0xC0 | (c >> 6));
        f.bytes[1] = byte(0x80 | (c & 0x3F));
        f.size = 2;
    } else if (c < 0x10000) {
        f.bytes[0] = byte(0xE0 | (c >> 12));
        f.bytes[1] = byte(0x80 | ((c >> 6) & 0x3F));
        f.bytes[2] = byte(0x80 | (c & 0x3F));
        f.size = 3;
    } else {
        f.bytes[0] = byte(0xF0 | (c >> 18));
        f.bytes[1] = byte(0x80 | ((c >> 12) & 0x3F));
        f.bytes[2] = byte(0x80 | ((c >> 6) & 0x3F));
        f.bytes[3] = byte(0x80 | (c & 0x3F));
        f.size = 4;
    }
    return f;
}

inline void AppendUtf8Form(std::string& out, char32_t c) {
    const Utf8Form f = EncodeUtf8Form(c);
    out.append(f.bytes, f.size);
}

// How much of an ill-formed sequence one decoding step takes.
enum class Utf8Errors {
    // Unicode's "maximal subpart": the lead byte and the continuation bytes
    // that could still have begun a well-formed character. Overlong forms,
    // encoded surrogates and values past U+10FFFF are refused at the first
    // byte that makes them so. The code page 65001 conversions work so.
    kMaximalSubpart,
    // The whole form the lead byte announces (F8..FF and stray continuation
    // bytes: one byte), when every continuation byte is there; one byte
    // otherwise. An overlong form or an encoded surrogate is then one
    // ill-formed character, not several.
    kWholeForm,
};

struct Utf8Step {
    char32_t value = 0;     // the code point, when wellFormed
    std::size_t length = 1; // bytes taken, at least one
    bool wellFormed = false;
};

// Decodes the character at s[i] (i < s.size()).
constexpr Utf8Step DecodeUtf8Step(std::string_view s, std::size_t i,
                                  Utf8Errors errors = Utf8Errors::kMaximalSubpart) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
        return {b, 1, true};
    }
    if (errors == Utf8Errors::kWholeForm) {
        std::size_t extra = 0;
        char32_t c = 0;
        char32_t min = 0;
        if ((b & 0xE0) == 0xC0) {
            extra = 1, c = b & 0x1Fu, min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2, c = b & 0x0Fu, min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3, c = b & 0x07u, min = 0x10000;
        } else {
            return {};
        }
        if (s.size() - i <= extra) {
            return {};
        }
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto t = static_cast<unsigned char>(s[i + k]);
            if ((t & 0xC0) != 0x80) {
                return {};
            }
            c = (c << 6) | (t & 0x3Fu);
        }
        const bool valid = c >= min && c <= 0x10FFFF && !IsSurrogateCodePoint(c);
        return {valid ? c : 0, extra + 1, valid};
    }
    // The lead byte fixes the length and the range allowed for the first
    // continuation byte.
    std::size_t need = 0;
    unsigned char lo = 0x80;
    unsigned char hi = 0xBF;
    char32_t c = 0;
    if (b >= 0xC2 && b <= 0xDF) {
        need = 1, c = b & 0x1Fu;
    } else if (b >= 0xE0 && b <= 0xEF) {
        need = 2, c = b & 0x0Fu;
        lo = b == 0xE0 ? 0xA0 : 0x80;
        hi = b == 0xED ? 0x9F : 0xBF;
    } else if (b >= 0xF0 && b <= 0xF4) {
        need = 3, c = b & 0x07u;
        lo = b == 0xF0 ? 0x90 : 0x80;
        hi = b == 0xF4 ? 0x8F : 0xBF;
    } else {
        return {};
    }
    for (std::size_t k = 1; k <= need; ++k) {
        if (i + k >= s.size()) {
            return {0, k, false};
        }
        const auto t = static_cast<unsigned char>(s[i + k]);
        if (t < lo || t > hi) {
            return {0, k, false};
        }
        c = (c << 6) | (t & 0x3Fu);
        lo = 0x80;
        hi = 0xBF;
    }
    return {c, need + 1, true};
}

} // namespace text
