// UTF-16 <-> UTF-8 / UTF-32 helpers for the platform's own edges (file names,
// the terminal, the grid). Not code pages: those are in code_page.cpp.
// An unpaired surrogate becomes U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace text {

// What becomes of a surrogate that is not half of a pair: U+FFFD, or itself
// (a file name's lone surrogate stands for a byte that is not UTF-8, and
// must match only that byte).
enum class LoneSurrogates { kReplace, kKeep };

std::u32string Utf16ToUtf32(std::u16string_view s, LoneSurrogates lone = LoneSurrogates::kReplace);
std::u16string Utf32ToUtf16(std::u32string_view s);
std::string Utf16ToUtf8(std::u16string_view s);
std::u16string Utf8ToUtf16(std::string_view s);
std::string Utf32ToUtf8(std::u32string_view s);

} // namespace text
