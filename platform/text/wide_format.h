// The one printf-style engine behind wvsprintfW and CString::Format, so that
// both read a format string the same way. Only the limit differs: wvsprintfW
// stops at its fixed buffer size, CString grows.
#pragma once

#include "platform/win32/types.h"

#include <cstdarg>
#include <cstddef>
#include <string>

namespace text {

// Appends the formatted text to out, writing at most maxChars characters
// (no terminator is counted or added here). Conversions understood: %s %ls
// (wide string), %S %hs (8-bit string in the ANSI code page), %c %lc (wide
// character), %C %hc (8-bit character), %d %i %u %x %X with flags '-', '0',
// '#', a width and a precision, and %%. An unknown conversion letter is
// copied as it stands, as Win32 does.
void FormatWide(std::u16string& out, LPCWSTR format, va_list args,
                std::size_t maxChars = std::u16string::npos);

} // namespace text
