// The framework's wide string: UTF-16 text with the conversions from and to
// the ANSI code page that the framework's string class performs.
//
// Copies share one buffer until one of them is written (copy on write), as
// the framework's strings do: passing a text of a gigabyte by value, or
// keeping it in two places, costs a reference count, not a second gigabyte.
// Every writing member, str() among them, first gives this string a buffer
// of its own if the one it holds is shared.
#pragma once

#include "platform/win32/types.h"

#include <memory>
#include <string>
#include <string_view>

class CString {
public:
    CString() = default;
    CString(const CString&) = default;
    CString(CString&&) noexcept = default;
    CString(LPCWSTR psz);              // nullptr gives the empty string
    CString(LPCWSTR pch, int nLength); // exactly nLength characters
    // From 8-bit text in the ANSI code page (code page 0), up to the first zero byte.
    CString(LPCSTR psz);
    // From nLength bytes of 8-bit text in the ANSI code page; stops at a zero byte.
    CString(LPCSTR pch, int nLength);
    explicit CString(std::basic_string<WCHAR> s);

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

    bool operator==(const CString& other) const { return str() == other.str(); }
    bool operator==(LPCWSTR other) const {
        return str() == std::basic_string_view<WCHAR>(other ? other : TEXT(""));
    }

    int GetLength() const { return static_cast<int>(str().size()); }
    bool IsEmpty() const { return str().empty(); }
    // The text becomes empty and its buffer is let go.
    void Empty() { text_.reset(); }
    WCHAR GetAt(int i) const { return str()[static_cast<std::size_t>(i)]; }

    // Always zero-terminated.
    LPCWSTR GetString() const { return str().c_str(); }
    operator LPCWSTR() const { return GetString(); }

    // A writable buffer of at least nMinBufLength characters plus a terminator;
    // ReleaseBuffer(-1) takes the length up to the first zero. An empty
    // string never copies: an old buffer too small is let go before a new
    // one is taken, so the two are never held at once.
    LPWSTR GetBuffer(int nMinBufLength);
    // A buffer of exactly nLength characters (and a terminator) to be
    // filled with a new text; the old one is not kept. This string's own
    // buffer is filled in place when it holds the text with room to spare;
    // otherwise the old buffer goes before a new one is taken. Reading a
    // control's text uses it: a text box's worth is never held twice, and
    // reading it again costs no new memory.
    LPWSTR GetBufferToFill(int nLength);
    void ReleaseBuffer(int nNewLength = -1);

    // printf-style formatting with %s (wide), %d, %u, %x, %c and %%.
    void Format(LPCWSTR lpszFormat, ...);

    const std::basic_string<WCHAR>& str() const;
    // The text to change in place, this string's own: a reference to hold
    // only while the string is not copied (a copy would share the changes).
    std::basic_string<WCHAR>& str();

private:
    std::shared_ptr<std::basic_string<WCHAR>> text_; // null: the empty string
};
