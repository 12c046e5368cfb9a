#include "platform/text/unicode.h"

#include "platform/text/utf8.h"
#include "platform/win32/codepage.h"

namespace text {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || IsSurrogateCodePoint(c)) {
        c = kReplacement;
    }
    AppendUtf8Form(out, c);
}

} // namespace

std::u32string Utf16ToUtf32(std::u16string_view s, LoneSurrogates lone) {
    std::u32string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (i + 1 < s.size() && IS_SURROGATE_PAIR(s[i], s[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (char32_t(s[i + 1]) - 0xDC00);
            ++i;
        } else if (lone == LoneSurrogates::kReplace &&
                   (IS_HIGH_SURROGATE(s[i]) || IS_LOW_SURROGATE(s[i]))) {
            c = kReplacement;
        }
        out += c;
    }
    return out;
}

std::u16string Utf32ToUtf16(std::u32string_view s) {
    std::u16string out;
    out.reserve(s.size());
    for (char32_t c : s) {
        if (c > 0x10FFFF || IsSurrogateCodePoint(c)) {
            c = kReplacement;
        }
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

std::string Utf32ToUtf8(std::u32string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char32_t c : s) {
        AppendUtf8(out, c);
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view s) {
    return Utf32ToUtf8(Utf16ToUtf32(s));
}

std::u16string Utf8ToUtf16(std::string_view s) {
    std::u32string wide;
    wide.reserve(s.size());
    // An ill-formed form is one U+FFFD, however long the form its lead
    // byte announced.
    for (std::size_t i = 0; i < s.size();) {
        const Utf8Step step = DecodeUtf8Step(s, i, Utf8Errors::kWholeForm);
        wide += step.wellFormed ? step.value : kReplacement;
        i += step.length;
    }
    return Utf32ToUtf16(wide);
}

} // namespace text
