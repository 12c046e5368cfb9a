#include "platform/text/utf8_page.h"

#include <cstdint>

namespace text {

bool EncodeUtf8(std::u16string_view src, bool strict, BoundedOutput<char>& out) {
    const auto put = [&out](std::uint32_t b) { return out.put(static_cast<char>(b)); };
    for (std::size_t i = 0; i < src.size(); ++i) {
        std::uint32_t c = src[i];
        if (c >= 0xD800 && c <= 0xDFFF) {
            if (c <= 0xDBFF && i + 1 < src.size() && src[i + 1] >= 0xDC00 && src[i + 1] <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (std::uint32_t(src[i + 1]) - 0xDC00);
                ++i;
            } else if (strict) {
                return false;
            } else {
                c = 0xFFFD;
            }
        }
        bool ok = true;
        if (c < 0x80) {
            ok = put(c);
        } else if (c < 0x800) {
            ok = put(0xC0 | (c >> 6)) && put(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            ok = put(0xE0 | (c >> 12)) && put(0x80 | ((c >> 6) & 0x3F)) && put(0x80 | (c & 0x3F));
        } else {
            ok = put(0xF0 | (c >> 18)) && put(0x80 | ((c >> 12) & 0x3F)) &&
                 put(0x80 | ((c >> 6) & 0x3F)) && put(0x80 | (c & 0x3F));
        }
        if (!ok) {
            return true;
        }
    }
    return true;
}

bool DecodeUtf8(std::string_view src, bool strict, BoundedOutput<char16_t>& out) {
    std::size_t i = 0;
    while (i < src.size()) {
        const auto b = static_cast<unsigned char>(src[i]);
        if (b < 0x80) {
            if (!out.put(b)) {
                return true;
            }
            ++i;
            continue;
        }
        // Well-formed sequences: the lead byte fixes the length and the
        // range allowed for the first continuation byte.
        std::size_t need = 0;
        unsigned char lo = 0x80;
        unsigned char hi = 0xBF;
        std::uint32_t c = 0;
        if (b >= 0xC2 && b <= 0xDF) {
            need = 1, c = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            need = 2, c = b & 0x0F;
            lo = b == 0xE0 ? 0xA0 : 0x80;
            hi = b == 0xED ? 0x9F : 0xBF;
        } else if (b >= 0xF0 && b <= 0xF4) {
            need = 3, c = b & 0x07;
            lo = b == 0xF0 ? 0x90 : 0x80;
            hi = b == 0xF4 ? 0x8F : 0xBF;
        }
        std::size_t k = 1;
        bool valid = need > 0;
        for (; valid && k <= need; ++k) {
            if (i + k >= src.size()) {
                valid = false;
                break;
            }
            const auto t = static_cast<unsigned char>(src[i + k]);
            if (t < lo || t > hi) {
                valid = false;
                break;
            }
            c = (c << 6) | (t & 0x3F);
            lo = 0x80;
            hi = 0xBF;
        }
        i += k; // the whole character, or the maximal ill-formed part of it
        if (!valid) {
            if (strict) {
                return false;
            }
            c = 0xFFFD;
        }
        const bool ok = c < 0x10000 ? out.put(static_cast<char16_t>(c))
                                    : out.put(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)),
                                              static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        if (!ok) {
            return true;
        }
    }
    return true;
}

} // namespace text
