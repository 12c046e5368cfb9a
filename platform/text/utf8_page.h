// Code page 65001 (UTF-8) for the Win32 conversion calls. Ill-formed input
// becomes U+FFFD (one per maximal ill-formed subsequence), or, when strict,
// stops the conversion.
#pragma once

#include "platform/text/bounded_output.h"

#include <string_view>

namespace text {

// Both answer false only when strict and the input is ill-formed; they stop
// early, answering true, once the output has overflowed.
bool EncodeUtf8(std::u16string_view src, bool strict, BoundedOutput<char>& out);
bool DecodeUtf8(std::string_view src, bool strict, BoundedOutput<char16_t>& out);

} // namespace text
