#include "platform/text/path_text.h"

#include "platform/text/utf8.h"
#include "platform/win32/codepage.h"

#include <cstdint>

namespace text {
namespace {

constexpr char16_t kEscapeBase = 0xDC00; // U+DC80-U+DCFF stand for bytes 0x80-0xFF

bool IsEscapedByte(char16_t u) {
    return u >= 0xDC80 && u <= 0xDCFF;
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
        // Overlong forms, encoded surrogates and values past U+10FFFF are
        // not well-formed, so each of their bytes is escaped on its own and
        // comes back unchanged.
        const Utf8Step step = DecodeUtf8Step(bytes, i);
        if (!step.wellFormed) {
            out += static_cast<char16_t>(kEscapeBase + b);
            ++i;
            continue;
        }
        const char32_t c = step.value;
        if (c < 0x10000) {
            out += static_cast<char16_t>(c);
        } else {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        }
        i += step.length;
    }
    return out;
}

std::string PathToBytes(std::u16string_view path) {
    std::string out;
    out.reserve(path.size());
    for (std::size_t i = 0; i < path.size(); ++i) {
        const char16_t u = path[i];
        if (i + 1 < path.size() && IS_SURROGATE_PAIR(u, path[i + 1])) {
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
