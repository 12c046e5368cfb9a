// The framework's wide string: UTF-16 text with the conversions from and to
// the ANSI code page that the framework's string class performs.
#pragma once

#include "platform/win32/types.h"

#include <string>
#include <string_view>

class CString {
public:
    CString() = default;
    CString(const CString&) = default;
    CString(CString&&) noexcept = default;
    CString(LPCWSTR psz);                 // nullptr gives the empty string
    CString(LPCWSTR pch, int nLength);    // exactly nLength characters
    // From 8-bit text in the ANSI code page (code page 0), up to the first zero byte.
    CString(LPCSTR psz);
    // From nLength bytes of 8-bit text in the ANSI code page; stops at a zero byte.
    CString(LPCSTR pch, int nLength);
    explicit CString(std::u16string s) : str_(std::move(s)) {}

    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) noexcept = default;
    CString& operator=(LPCWSTR psz);
    CString& operator=(LPCSTR psz);

    CString& operator+=(const CString& s);
    CString& operator+=(LPCWSTR psz);
    CString& operator+=(WCHAR ch);

    friend CString operator+(const CString& a, const CString& b);
    friend CString operator+(const CString& a, LPCWSTR b);
    friend CString operator+(LPCWSTR a, const CString& b);

    bool operator==(const CString& other) const { return str_ == other.str_; }
    bool operator==(LPCWSTR other) const { return str_ == std::u16string_view(other ? other : u""); }

    int GetLength() const { return static_cast<int>(str_.size()); }
    bool IsEmpty() const { return str_.empty(); }
    void Empty() { str_.clear(); }
    WCHAR GetAt(int i) const { return str_[static_cast<std::size_t>(i)]; }

    // Always zero-terminated.
    LPCWSTR GetString() const { return str_.c_str(); }
    operator LPCWSTR() const { return str_.c_str(); }

    // A writable buffer of at least nMinBufLength characters plus a terminator;
    // ReleaseBuffer(-1) takes the length up to the first zero.
    LPWSTR GetBuffer(int nMinBufLength);
    void ReleaseBuffer(int nNewLength = -1);

    // printf-style formatting with %s (wide), %d, %u, %x, %c and %%.
    void Format(LPCWSTR lpszFormat, ...);

    const std::u16string& str() const { return str_; }
    std::u16string& str() { return str_; }

private:
    std::u16string str_;
};
