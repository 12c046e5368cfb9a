// Not a Win32 call, and the one place where the program tells this platform
// something Win32 has no word for.
//
// Where a write keeps the user waiting, this platform shows its progress on
// the screen's bottom line ("Printing on COM3: 40,960 of 107,502 bytes").
// A print job is written in several calls, and to the user it is one wait:
// before the first of them the program announces how many bytes the job's
// writes to hFile carry in all. The writes that follow count towards that
// total until it is reached, a write falls short, or another total is
// announced (0: none). The bytes written are not affected in any way.
//
// Windows shows no such line; there the call does nothing.
#pragma once

#include "platform/win32/types.h"

#ifdef _WIN32
inline BOOL AnnounceWriteTotal(HANDLE, ULONGLONG) {
    return TRUE;
}
#else
// Answers FALSE (with ERROR_INVALID_HANDLE) for a handle that names nothing.
BOOL AnnounceWriteTotal(HANDLE hFile, ULONGLONG total);
#endif
