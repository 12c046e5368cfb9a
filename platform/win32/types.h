// Basic types of the Win32 subset that the program is written against.
// Only what the program and the framework use; names and widths as on Win32.
#pragma once

#include <cstddef>
#include <cstdint>

#ifdef _WIN32
// On Windows this tier is the system's: its declarations and libraries.
#include <windows.h>
#else

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using BOOL = std::int32_t;
using UINT = std::uint32_t;
using INT = std::int32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using ULONGLONG = std::uint64_t;
using SHORT = std::int16_t;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using ULONG_PTR = std::uintptr_t;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;

using CHAR = char;
using WCHAR = char16_t; // wide text is UTF-16, as on the original platform
using LPSTR = CHAR*;
using LPCSTR = const CHAR*;
using LPWSTR = WCHAR*;
using LPCWSTR = const WCHAR*;
using LPBYTE = BYTE*;
using LPBOOL = BOOL*;
using LPDWORD = DWORD*;
using PLONG = LONG*;
using LPVOID = void*;
using LPCVOID = const void*;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// Calling conventions: stdcall for Win32 entry points and callbacks on
// 32-bit Windows; nothing to say on POSIX.
#define WINAPI
#define CALLBACK

// The one text macro for wide literals: TEXT("COM%d:") is a UTF-16 literal.
#define TEXT(quote) u##quote

using HANDLE = void*;
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1)))

// Distinct opaque handle types, so that a window cannot be passed as an icon.
#define TALLYROLL_DECLARE_HANDLE(name)                                                             \
    struct name##__;                                                                               \
    using name = name##__*
TALLYROLL_DECLARE_HANDLE(HWND);
TALLYROLL_DECLARE_HANDLE(HICON);
TALLYROLL_DECLARE_HANDLE(HINSTANCE);
TALLYROLL_DECLARE_HANDLE(HRSRC);
TALLYROLL_DECLARE_HANDLE(HGLOBAL);
using HMODULE = HINSTANCE;

struct SECURITY_ATTRIBUTES;
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;
struct OVERLAPPED;
using LPOVERLAPPED = OVERLAPPED*;

struct POINT {
    LONG x;
    LONG y;
};
struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
using LPRECT = RECT*;

inline constexpr WORD LOWORD(ULONG_PTR v) {
    return static_cast<WORD>(v & 0xFFFF);
}
inline constexpr WORD HIWORD(ULONG_PTR v) {
    return static_cast<WORD>((v >> 16) & 0xFFFF);
}
inline constexpr DWORD MAKELONG(WORD lo, WORD hi) {
    return DWORD(lo) | (DWORD(hi) << 16);
}
inline constexpr LPARAM MAKELPARAM(WORD lo, WORD hi) {
    return static_cast<LPARAM>(MAKELONG(lo, hi));
}

#endif // _WIN32
