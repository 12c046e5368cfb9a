#include "platform/text/wide_format.h"
#include "platform/win32/kernel.h"

#include <cstddef>
#include <string>

namespace {

// The Win32 formatter writes into a caller buffer it cannot measure; it
// assumes 1024 characters, terminator included.
constexpr std::size_t kBufferChars = 1024;

} // namespace

int wvsprintfW(LPWSTR lpOut, LPCWSTR lpFmt, va_list arglist) {
    if (lpOut == nullptr) {
        return 0;
    }
    std::u16string text;
    text.reserve(64);
    text::FormatWide(text, lpFmt, arglist, kBufferChars - 1);
    text.copy(lpOut, text.size());
    lpOut[text.size()] = 0;
    return static_cast<int>(text.size());
}

int wvnsprintfW(LPWSTR lpOut, int cchLimitIn, LPCWSTR lpFmt, va_list arglist) {
    if (lpOut == nullptr || cchLimitIn <= 0) {
        return -1;
    }
    const auto room = static_cast<std::size_t>(cchLimitIn) - 1;
    std::u16string text;
    // One character more than fits tells a text that was cut from one that
    // just fits.
    text::FormatWide(text, lpFmt, arglist, room + 1);
    const bool cut = text.size() > room;
    if (cut) {
        text.resize(room);
    }
    text.copy(lpOut, text.size());
    lpOut[text.size()] = 0;
    return cut ? -1 : static_cast<int>(text.size());
}

int wsprintfW(LPWSTR lpOut, LPCWSTR lpFmt, ...) {
    va_list args;
    va_start(args, lpFmt);
    const int n = wvsprintfW(lpOut, lpFmt, args);
    va_end(args);
    return n;
}
