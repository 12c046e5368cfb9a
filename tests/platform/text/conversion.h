// Whole-string helpers over the Win32 conversion calls for the tests: a size
// query followed by a conversion into a buffer of exactly that size.
#pragma once

#include "platform/win32/codepage.h"

#include <gtest/gtest.h>
#include <string>
#include <string_view>

inline std::string Encode(UINT cp, DWORD flags, std::basic_string_view<WCHAR> s,
                          BOOL* used = nullptr) {
    if (s.empty()) {
        return {};
    }
    const int len = static_cast<int>(s.size());
    const int n = WideCharToMultiByte(cp, flags, s.data(), len, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    EXPECT_EQ(WideCharToMultiByte(cp, flags, s.data(), len, out.data(), n, nullptr, used), n);
    return out;
}

inline std::basic_string<WCHAR> Decode(UINT cp, DWORD flags, std::string_view s) {
    if (s.empty()) {
        return {};
    }
    const int len = static_cast<int>(s.size());
    const int n = MultiByteToWideChar(cp, flags, s.data(), len, nullptr, 0);
    std::basic_string<WCHAR> out(static_cast<std::size_t>(n), TEXT('\0'));
    EXPECT_EQ(MultiByteToWideChar(cp, flags, s.data(), len, out.data(), n), n);
    return out;
}
