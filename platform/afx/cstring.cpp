#include "platform/afx/cstring.h"

#include "platform/text/wide_format.h"
#include "platform/win32/codepage.h"

#include <cstdarg>
#include <cstring>

namespace {

std::u16string FromAnsi(LPCSTR pch, std::size_t length) {
    std::u16string out;
    if (pch == nullptr || length == 0) {
        return out;
    }
    // The framework's 8-bit constructors never go past a zero byte.
    const void* zero = std::memchr(pch, 0, length);
    if (zero != nullptr) {
        length = static_cast<std::size_t>(static_cast<const char*>(zero) - pch);
    }
    if (length == 0) {
        return out;
    }
    const int n = static_cast<int>(length);
    const int needed = MultiByteToWideChar(CP_ACP, 0, pch, n, nullptr, 0);
    if (needed > 0) {
        out.resize(static_cast<std::size_t>(needed));
        const int written = MultiByteToWideChar(CP_ACP, 0, pch, n, out.data(), needed);
        out.resize(static_cast<std::size_t>(written > 0 ? written : 0));
    }
    return out;
}

std::u16string_view View(LPCWSTR psz) {
    return psz != nullptr ? std::u16string_view(psz) : std::u16string_view();
}

} // namespace

CString::CString(LPCWSTR psz) : str_(View(psz)) {}

CString::CString(LPCWSTR pch, int nLength) {
    if (pch != nullptr && nLength > 0) {
        str_.assign(pch, static_cast<std::size_t>(nLength));
    }
}

CString::CString(LPCSTR psz) : str_(FromAnsi(psz, psz ? std::strlen(psz) : 0)) {}

CString::CString(LPCSTR pch, int nLength)
    : str_(FromAnsi(pch, nLength > 0 ? static_cast<std::size_t>(nLength) : 0)) {}

CString& CString::operator=(LPCWSTR psz) {
    // The source may point into this string; build the copy first.
    std::u16string copy(View(psz));
    str_.swap(copy);
    return *this;
}

CString& CString::operator=(LPCSTR psz) {
    str_ = FromAnsi(psz, psz ? std::strlen(psz) : 0);
    return *this;
}

CString& CString::operator+=(const CString& s) {
    str_ += s.str_; // appending a string to itself is safe with std::u16string
    return *this;
}

CString& CString::operator+=(LPCWSTR psz) {
    if (psz != nullptr) {
        const std::u16string copy(psz); // psz may point into str_
        str_ += copy;
    }
    return *this;
}

CString& CString::operator+=(WCHAR ch) {
    str_ += ch;
    return *this;
}

CString operator+(const CString& a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}

CString operator+(const CString& a, LPCWSTR b) {
    CString r(a);
    r += b;
    return r;
}

CString operator+(LPCWSTR a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}

LPWSTR CString::GetBuffer(int nMinBufLength) {
    if (nMinBufLength > GetLength()) {
        // New room is zero-filled, so ReleaseBuffer(-1) finds an end even if
        // the caller writes nothing.
        str_.resize(static_cast<std::size_t>(nMinBufLength), u'\0');
    }
    return str_.data();
}

void CString::ReleaseBuffer(int nNewLength) {
    std::size_t length = static_cast<std::size_t>(nNewLength);
    if (nNewLength < 0) {
        length = str_.find(u'\0');
    }
    if (length < str_.size()) {
        str_.resize(length);
    }
}

void CString::Format(LPCWSTR lpszFormat, ...) {
    std::u16string out;
    va_list args;
    va_start(args, lpszFormat);
    text::FormatWide(out, lpszFormat, args);
    va_end(args);
    str_.swap(out);
}
