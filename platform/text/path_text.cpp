#include "platform/text/path_text.h"

#include "platform/text/unicode.h"

#include <cstdint>

namespace text {
namespace {

constexpr char16_t kEscapeBase = 0xDC00; // U+DC80-U+DCFF stand for bytes 0x80-0xFF

bool IsHigh(char16_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLow(char16_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}
bool IsEscapedByte(char16_t u) {
    return u >= 0xDC80 && u <= 0xDCFF;
}

// The well-formed UTF-8 sequence at s[i]: its code point and length, or a
// length of 0. Overlong forms, encoded surrogates and values past U+10FFFF
// are not well-formed, so each of their bytes is escaped on its own and
// comes back unchanged.
std::size_t DecodeSequence(std::string_view s, std::size_t i, char32_t& c) {
    const auto b = static_cast<unsigned char>(s[i]);
    std::size_t need = 0;
    unsigned char lo = 0x80, hi = 0xBF; // allowed range of the first continuation byte
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
        return 0;
    }
    if (s.size() - i <= need) {
        return 0;
    }
    for (std::size_t k = 1; k <= need; ++k) {
        const auto t = static_cast<unsigned char>(s[i + k]);
        if (t < lo || t > hi) {
            return 0;
        }
        c = (c << 6) | (t & 0x3Fu);
        lo = 0x80, hi = 0xBF;
    }
    return need + 1;
}

} // namespace

std::u16string PathFromBytes(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            out += static_cast<char16_t>(b);
            ++i;
            continue;
        }
        char32_t c = 0;
        const std::size_t length = DecodeSequence(bytes, i, c);
        if (length == 0) {
            out += static_cast<char16_t>(kEscapeBase + b);
            ++i;
            continue;
        }
        if (c < 0x10000) {
            out += static_cast<char16_t>(c);
        } else {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        }
        i += length;
    }
    return out;
}

std::string PathToBytes(std::u16string_view path) {
    std::string out;
    out.reserve(path.size());
    for (std::size_t i = 0; i < path.size(); ++i) {
        const char16_t u = path[i];
        if (IsHigh(u) && i + 1 < path.size() && IsLow(path[i + 1])) {
            AppendUtf8Form(out, 0x10000 + ((std::uint32_t(u) - 0xD800) << 10) +
                                    (std::uint32_t(path[i + 1]) - 0xDC00));
            ++i;
        } else if (IsEscapedByte(u)) {
            out += static_cast<char>(u - kEscapeBase);
        } else {
            AppendUtf8Form(out, u); // a lone surrogate takes the three-byte form too
        }
    }
    return out;
}

} // namespace text
