// UTF-16 <-> UTF-8 / UTF-32 helpers for the platform's own edges (file names,
// the terminal, the grid). Not code pages: those are in code_page.cpp.
// An unpaired surrogate becomes U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace text {

std::u32string Utf16ToUtf32(std::u16string_view s);
std::u16string Utf32ToUtf16(std::u32string_view s);
std::string Utf16ToUtf8(std::u16string_view s);
std::u16string Utf8ToUtf16(std::string_view s);
std::string Utf32ToUtf8(std::u32string_view s);

} // namespace text
