// Interim: ASCII only, until the table-driven conversion lands.
#include "platform/win32/codepage.h"

#include "platform/win32/kernel.h"

int WideCharToMultiByte(UINT, DWORD, LPCWSTR src, int cch, LPSTR dst, int cb, LPCSTR defchar,
                        LPBOOL used) {
    if (src == nullptr || cch == 0 || cb < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (cch < 0) {
        cch = 0;
        while (src[cch] != 0) {
            ++cch;
        }
        ++cch;
    }
    if (used) {
        *used = FALSE;
    }
    if (cb == 0) {
        return cch;
    }
    if (cb < cch) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    for (int i = 0; i < cch; ++i) {
        if (src[i] < 0x80) {
            dst[i] = static_cast<char>(src[i]);
        } else {
            dst[i] = defchar ? *defchar : '?';
            if (used) {
                *used = TRUE;
            }
        }
    }
    return cch;
}

int MultiByteToWideChar(UINT, DWORD, LPCSTR src, int cb, LPWSTR dst, int cch) {
    if (src == nullptr || cb == 0 || cch < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (cb < 0) {
        cb = 0;
        while (src[cb] != 0) {
            ++cb;
        }
        ++cb;
    }
    if (cch == 0) {
        return cb;
    }
    if (cch < cb) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    for (int i = 0; i < cb; ++i) {
        const auto b = static_cast<unsigned char>(src[i]);
        dst[i] = b < 0x80 ? b : 0xFFFD;
    }
    return cb;
}

UINT GetACP() {
    return 1252;
}

BOOL IsDBCSLeadByteEx(UINT, BYTE) {
    return FALSE;
}
