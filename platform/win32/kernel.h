// Kernel calls of the Win32 subset: files and devices by name, errors, sleep,
// text formatting. Implemented over POSIX in platform/kernel32.
#pragma once

#include "platform/win32/types.h"

#ifdef _WIN32
// The system's own declarations (winbase.h via windows.h); the size-bounded
// formatter comes from shlwapi.
#include <shlwapi.h>
#else

#include <cstdarg>

inline constexpr DWORD GENERIC_READ = 0x80000000;
inline constexpr DWORD GENERIC_WRITE = 0x40000000;
inline constexpr DWORD CREATE_NEW = 1;
inline constexpr DWORD CREATE_ALWAYS = 2;
inline constexpr DWORD OPEN_EXISTING = 3;
inline constexpr DWORD OPEN_ALWAYS = 4;
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;

inline constexpr DWORD ERROR_SUCCESS = 0;
inline constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
inline constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
inline constexpr DWORD ERROR_TOO_MANY_OPEN_FILES = 4;
inline constexpr DWORD ERROR_ACCESS_DENIED = 5;
inline constexpr DWORD ERROR_INVALID_HANDLE = 6;
inline constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr DWORD ERROR_WRITE_FAULT = 29;
inline constexpr DWORD ERROR_READ_FAULT = 30;
inline constexpr DWORD ERROR_GEN_FAILURE = 31;
inline constexpr DWORD ERROR_SHARING_VIOLATION = 32;
inline constexpr DWORD ERROR_NOT_SUPPORTED = 50;
inline constexpr DWORD ERROR_BAD_NETPATH = 53;
inline constexpr DWORD ERROR_NETNAME_DELETED = 64;
inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;
inline constexpr DWORD ERROR_BROKEN_PIPE = 109;
inline constexpr DWORD ERROR_SEM_TIMEOUT = 121;
inline constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
inline constexpr DWORD ERROR_INVALID_NAME = 123;
inline constexpr DWORD ERROR_NEGATIVE_SEEK = 131;
inline constexpr DWORD ERROR_OPERATION_ABORTED = 995;
inline constexpr DWORD ERROR_NO_UNICODE_TRANSLATION = 1113;
inline constexpr DWORD ERROR_DEVICE_NOT_CONNECTED = 1167;
inline constexpr DWORD ERROR_CONNECTION_REFUSED = 1225;
inline constexpr DWORD ERROR_NETWORK_UNREACHABLE = 1231;
inline constexpr DWORD ERROR_HOST_UNREACHABLE = 1232;
inline constexpr DWORD ERROR_DEVICE_REMOVED = 1617;

inline constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFF;
inline constexpr DWORD INVALID_SET_FILE_POINTER = 0xFFFFFFFF;

inline constexpr DWORD FILE_BEGIN = 0;
inline constexpr DWORD FILE_CURRENT = 1;
inline constexpr DWORD FILE_END = 2;

HANDLE CreateFileW(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                   LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                   DWORD dwFlagsAndAttributes, HANDLE hTemplateFile);
BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
              LPDWORD lpNumberOfBytesRead, LPOVERLAPPED lpOverlapped);
BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
               LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped);
BOOL CloseHandle(HANDLE hObject);
// The size of an open file: the low 32 bits answered, the high 32 bits in
// *lpFileSizeHigh when given. INVALID_FILE_SIZE with a last error on failure;
// a size whose low half is 0xFFFFFFFF leaves the last error ERROR_SUCCESS.
// Only files have a size: a port handle fails with ERROR_INVALID_HANDLE.
DWORD GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh);
// Moves an open file's read position by lDistanceToMove from the start, the
// current position or the end (FILE_BEGIN, FILE_CURRENT, FILE_END). Without
// lpDistanceToMoveHigh the distance is a signed 32-bit value and the new
// position must fit in 32 bits; with it, *lpDistanceToMoveHigh is the high
// half of a signed 64-bit distance and receives the new position's high half.
// Answers the new position's low half, with the last error ERROR_SUCCESS;
// INVALID_SET_FILE_POINTER with a last error on failure (a position before the
// start: ERROR_NEGATIVE_SEEK), the position unchanged. Only files have one:
// a port handle fails with ERROR_INVALID_HANDLE.
DWORD SetFilePointer(HANDLE hFile, LONG lDistanceToMove, PLONG lpDistanceToMoveHigh,
                     DWORD dwMoveMethod);

DWORD GetLastError();
void SetLastError(DWORD dwErrCode);

void Sleep(DWORD dwMilliseconds);

// printf-style formatting into a wide buffer (at most 1024 characters, as on Win32).
// Understands %s (wide string), %d, %u, %x, %c and %%.
int wsprintfW(LPWSTR lpOut, LPCWSTR lpFmt, ...);
int wvsprintfW(LPWSTR lpOut, LPCWSTR lpFmt, va_list arglist);
// The same formatting into a buffer of cchLimitIn characters, terminator
// included (shlwapi): answers the characters written. A text that does not
// fit is cut to cchLimitIn - 1 characters, terminated, and answers -1; a
// limit of 0 writes nothing and answers -1.
int wvnsprintfW(LPWSTR lpOut, int cchLimitIn, LPCWSTR lpFmt, va_list arglist);

HMODULE GetModuleHandleW(LPCWSTR lpModuleName);
// The full name of the module's file (the program's, for nullptr or the
// program's module): answers its length. A name longer than nSize - 1 is cut
// to nSize - 1 characters and terminated; the answer is then nSize and the
// last error ERROR_INSUFFICIENT_BUFFER. 0 with a last error on failure.
DWORD GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize);

// The program's own entry, which start-up calls with the four start values
// of a Win32 application that takes its command line wide.
int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nShowCmd);

#endif // _WIN32
