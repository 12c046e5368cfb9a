#include "platform/text/utf8_page.h"

#include "platform/text/utf8.h"
#include "platform/win32/codepage.h"

namespace text {

bool EncodeUtf8(std::u16string_view src, bool strict, BoundedOutput<char>& out) {
    for (std::size_t i = 0; i < src.size(); ++i) {
        char32_t c = src[i];
        if (i + 1 < src.size() && IS_SURROGATE_PAIR(src[i], src[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (char32_t(src[i + 1]) - 0xDC00);
            ++i;
        } else if (IS_HIGH_SURROGATE(src[i]) || IS_LOW_SURROGATE(src[i])) {
            if (strict) {
                return false;
            }
            c = 0xFFFD;
        }
        const Utf8Form form = EncodeUtf8Form(c);
        for (std::size_t k = 0; k < form.size; ++k) {
            if (!out.put(form.bytes[k])) {
                return true;
            }
        }
    }
    return true;
}

bool DecodeUtf8(std::string_view src, bool strict, BoundedOutput<char16_t>& out) {
    std::size_t i = 0;
    while (i < src.size()) {
        // A character that is not well-formed takes its maximal ill-formed
        // part with it.
        const Utf8Step step = DecodeUtf8Step(src, i);
        i += step.length;
        char32_t c = step.value;
        if (!step.wellFormed) {
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
