#include "platform/afx/cstring.h"

#include "platform/win32/codepage.h"
#include "platform/win32/kernel.h"

#include <climits>
#include <cstdarg>
#include <cstring>

namespace {

// A buffer filled by GetBuffer keeps this much room after its text, so that
// a line end appended to text just read from a control (the Print handler
// appends one) does not copy the whole text to grow it. Room that is never
// written costs address space, not memory.
constexpr std::size_t kRoomAfter = 16;

// Most formatted texts are a device name or a message: this holds them at
// the first try.
constexpr std::size_t kFirstFormatBuffer = 256;

std::size_t RoomFor(std::size_t length) {
    return length / 64 + kRoomAfter;
}

std::basic_string<WCHAR> FromAnsi(LPCSTR pch, std::size_t length) {
    std::basic_string<WCHAR> out;
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

std::basic_string_view<WCHAR> View(LPCWSTR psz) {
    return psz != nullptr ? std::basic_string_view<WCHAR>(psz) : std::basic_string_view<WCHAR>();
}

std::shared_ptr<std::basic_string<WCHAR>> Hold(std::basic_string<WCHAR> text) {
    return text.empty() ? nullptr : std::make_shared<std::basic_string<WCHAR>>(std::move(text));
}

} // namespace

CString::CString(LPCWSTR psz) : text_(Hold(std::basic_string<WCHAR>(View(psz)))) {}

CString::CString(LPCWSTR pch, int nLength) {
    if (pch != nullptr && nLength > 0) {
        text_ = Hold(std::basic_string<WCHAR>(pch, static_cast<std::size_t>(nLength)));
    }
}

CString::CString(LPCSTR psz) : text_(Hold(FromAnsi(psz, psz ? std::strlen(psz) : 0))) {}

CString::CString(LPCSTR pch, int nLength)
    : text_(Hold(FromAnsi(pch, nLength > 0 ? static_cast<std::size_t>(nLength) : 0))) {}

CString::CString(std::basic_string<WCHAR> s) : text_(Hold(std::move(s))) {}

const std::basic_string<WCHAR>& CString::str() const {
    static const std::basic_string<WCHAR> empty;
    return text_ ? *text_ : empty;
}

std::basic_string<WCHAR>& CString::str() {
    if (!text_) {
        text_ = std::make_shared<std::basic_string<WCHAR>>();
    } else if (text_.use_count() > 1) {
        text_ = std::make_shared<std::basic_string<WCHAR>>(*text_);
    }
    return *text_;
}

CString& CString::operator=(LPCWSTR psz) {
    // The source may point into this string's buffer: copied before it goes.
    text_ = Hold(std::basic_string<WCHAR>(View(psz)));
    return *this;
}

CString& CString::operator=(LPCSTR psz) {
    text_ = Hold(FromAnsi(psz, psz ? std::strlen(psz) : 0));
    return *this;
}

CString& CString::operator+=(const CString& s) {
    if (s.IsEmpty()) {
        return *this;
    }
    if (IsEmpty() && !text_) {
        text_ = s.text_; // nothing to append to: share
        return *this;
    }
    // s may be this string, or share its buffer: the buffer s reads stays
    // alive in s while this string takes one of its own.
    std::basic_string<WCHAR>& mine = str();
    mine += s.str();
    return *this;
}

CString& CString::operator+=(LPCWSTR psz) {
    if (psz != nullptr && *psz != 0) {
        const std::basic_string<WCHAR> copy(psz); // psz may point into this string's buffer
        str() += copy;
    }
    return *this;
}

CString& CString::operator+=(WCHAR ch) {
    str() += ch;
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
    const std::size_t wanted = nMinBufLength > 0 ? static_cast<std::size_t>(nMinBufLength) : 0;
    if (IsEmpty() && text_ && text_->capacity() < wanted + kRoomAfter) {
        text_.reset(); // nothing in it to keep
    }
    std::basic_string<WCHAR>& text = str();
    if (wanted > text.size()) {
        if (wanted > text.capacity()) {
            text.reserve(wanted + RoomFor(wanted));
        }
        // New room is zero-filled, so ReleaseBuffer(-1) finds an end even if
        // the caller writes nothing.
        text.resize(wanted, TEXT('\0'));
    }
    return text.data();
}

LPWSTR CString::GetBufferToFill(int nLength) {
    const std::size_t wanted = nLength > 0 ? static_cast<std::size_t>(nLength) : 0;
    if (!text_ || text_.use_count() > 1 || text_->capacity() < wanted + kRoomAfter) {
        text_.reset();
        text_ = std::make_shared<std::basic_string<WCHAR>>();
        text_->reserve(wanted + RoomFor(wanted));
    }
    // Only characters the old text did not reach are zero-filled.
    text_->resize(wanted, TEXT('\0'));
    return text_->data();
}

void CString::ReleaseBuffer(int nNewLength) {
    std::basic_string<WCHAR>& text = str();
    std::size_t length = static_cast<std::size_t>(nNewLength);
    if (nNewLength < 0) {
        length = text.find(TEXT('\0'));
    }
    if (length < text.size()) {
        text.resize(length);
    }
}

void CString::Format(LPCWSTR lpszFormat, ...) {
    // The system's formatter writes into a buffer of a size given: one that
    // turns out too small is doubled and the text formatted again.
    std::basic_string<WCHAR> out(kFirstFormatBuffer, TEXT('\0'));
    for (;;) {
        va_list args;
        va_start(args, lpszFormat);
        const int n = ::wvnsprintfW(out.data(), static_cast<int>(out.size()), lpszFormat, args);
        va_end(args);
        // A text that fills the buffer to its last character may have been
        // cut without saying so: only one shorter is known to be whole.
        if (n >= 0 && static_cast<std::size_t>(n) + 1 < out.size()) {
            out.resize(static_cast<std::size_t>(n));
            break;
        }
        if (out.size() > INT_MAX / 2) {
            out.resize(out.find(TEXT('\0')));
            break;
        }
        out.assign(out.size() * 2, TEXT('\0'));
    }
    text_ = Hold(std::move(out));
}
