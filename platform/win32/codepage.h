// Code-page conversion of the Win32 subset (winnls). Code page 0 is the
// device's ANSI code page, chosen from the locale at start.
#pragma once

#include "platform/win32/types.h"

#ifdef _WIN32
#else

// A UTF-16 unit's part in a surrogate pair, as winnls.h answers it.
constexpr bool IS_HIGH_SURROGATE(WCHAR wch) {
    return (wch & 0xFC00) == 0xD800;
}
constexpr bool IS_LOW_SURROGATE(WCHAR wch) {
    return (wch & 0xFC00) == 0xDC00;
}
constexpr bool IS_SURROGATE_PAIR(WCHAR hs, WCHAR ls) {
    return IS_HIGH_SURROGATE(hs) && IS_LOW_SURROGATE(ls);
}

inline constexpr UINT CP_ACP = 0;
inline constexpr UINT CP_UTF8 = 65001;

inline constexpr DWORD MB_PRECOMPOSED = 0x00000001;
inline constexpr DWORD MB_COMPOSITE = 0x00000002;
inline constexpr DWORD MB_USEGLYPHCHARS = 0x00000004;
inline constexpr DWORD MB_ERR_INVALID_CHARS = 0x00000008;

inline constexpr DWORD WC_DISCARDNS = 0x00000010;
inline constexpr DWORD WC_SEPCHARS = 0x00000020;
inline constexpr DWORD WC_DEFAULTCHAR = 0x00000040;
inline constexpr DWORD WC_COMPOSITECHECK = 0x00000200;
inline constexpr DWORD WC_ERR_INVALID_CHARS = 0x00000080; // code page 65001 only
inline constexpr DWORD WC_NO_BEST_FIT_CHARS = 0x00000400;

// Last error of a conversion called with flags its code page does not take.
inline constexpr DWORD ERROR_INVALID_FLAGS = 1004;

int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                        LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                        LPBOOL lpUsedDefaultChar);
int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                        LPWSTR lpWideCharStr, int cchWideChar);
UINT GetACP();
// The code page of the system's text console: 65001 when the locale's
// character set is UTF-8, else the OEM code page of its region (the same
// number as GetACP() in the double-byte regions).
UINT GetOEMCP();
BOOL IsDBCSLeadByteEx(UINT CodePage, BYTE TestChar);

#endif // _WIN32
