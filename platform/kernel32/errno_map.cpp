#include "platform/kernel32/errno_map.h"

#include "platform/win32/kernel.h"

#include <cerrno>
#include <netdb.h>

namespace kernel32 {

namespace {

constexpr DWORD kErrorInvalidFunction = 1;
constexpr DWORD kErrorFileExists = 80;
constexpr DWORD kErrorDiskFull = 112;
constexpr DWORD kErrorFilenameTooLong = 206;
constexpr DWORD kErrorCantResolveFilename = 1921;

struct ErrnoRow {
    int err;
    DWORD win32;
};

// errno                 Win32                          why
// ENOENT                2  file not found              no such file, or a dangling port link
// ENOTDIR               3  path not found              a folder in the path is a file
// EMFILE, ENFILE        4  too many open files
// EACCES, EPERM         5  access denied               e.g. not in group dialout
// EISDIR                5  access denied               Win32 refuses to open a folder as a file
// EROFS                 5  access denied
// EBUSY                 5  access denied               a port held by TIOCEXCL: Win32's "in use"
// EWOULDBLOCK (EAGAIN)  5  access denied               only our non-blocking flock answers it
// EBADF                 6  invalid handle
// ENOMEM                8  not enough memory
// ENOTTY                1  invalid function            a serial request to something not a tty
// EINVAL                87 invalid parameter
// EEXIST                80 file exists
// ENOSPC                112 disk full
// ENAMETOOLONG          206 file name too long
// ELOOP                 1921 cannot resolve the name   links that lead back to themselves
//                                                      (COM3 -> COM3, a -> b -> a): what
//                                                      Win32 answers for a chain of links
//                                                      it cannot follow to its end
// EIO                   1167 device not connected      the line hung up: printer off, link dropped
// ENXIO, ENODEV         1617 device removed            the device went away while open
// EPIPE                 109 broken pipe                the reading end is gone
// ECONNRESET            64 network name deleted        the peer reset the connection
// ECONNABORTED, ENOTCONN, ETIMEDOUT, EHOSTUNREACH, ENETUNREACH, EHOSTDOWN,
// ENETDOWN, ENETRESET   64 network name deleted        a printer's connection died under a
//                                                      call: the link dropped, the printer is
//                                                      off or out of range
// anything else         31 general failure
constexpr ErrnoRow kTable[] = {
    {ENOENT, ERROR_FILE_NOT_FOUND},
    {ENOTDIR, ERROR_PATH_NOT_FOUND},
    {EMFILE, ERROR_TOO_MANY_OPEN_FILES},
    {ENFILE, ERROR_TOO_MANY_OPEN_FILES},
    {EACCES, ERROR_ACCESS_DENIED},
    {EPERM, ERROR_ACCESS_DENIED},
    {EISDIR, ERROR_ACCESS_DENIED},
    {EROFS, ERROR_ACCESS_DENIED},
    {EBUSY, ERROR_ACCESS_DENIED},
    {EWOULDBLOCK, ERROR_ACCESS_DENIED},
    {EBADF, ERROR_INVALID_HANDLE},
    {ENOMEM, ERROR_NOT_ENOUGH_MEMORY},
    {ENOTTY, kErrorInvalidFunction},
    {EINVAL, ERROR_INVALID_PARAMETER},
    {EEXIST, kErrorFileExists},
    {ENOSPC, kErrorDiskFull},
    {ENAMETOOLONG, kErrorFilenameTooLong},
    {ELOOP, kErrorCantResolveFilename},
    {EIO, ERROR_DEVICE_NOT_CONNECTED},
    {ENXIO, ERROR_DEVICE_REMOVED},
    {ENODEV, ERROR_DEVICE_REMOVED},
    {EPIPE, ERROR_BROKEN_PIPE},
    {ECONNRESET, ERROR_NETNAME_DELETED},
    {ECONNABORTED, ERROR_NETNAME_DELETED},
    {ENOTCONN, ERROR_NETNAME_DELETED},
    {ETIMEDOUT, ERROR_NETNAME_DELETED},
    {EHOSTUNREACH, ERROR_NETNAME_DELETED},
    {ENETUNREACH, ERROR_NETNAME_DELETED},
    {EHOSTDOWN, ERROR_NETNAME_DELETED},
    {ENETDOWN, ERROR_NETNAME_DELETED},
    {ENETRESET, ERROR_NETNAME_DELETED},
};

// Where opening a name differs: nothing has been lost yet, the name leads to
// no device (a node without a driver, a stale USB-serial node).
// ENXIO, ENODEV         2  file not found
constexpr ErrnoRow kOpenTable[] = {
    {ENXIO, ERROR_FILE_NOT_FOUND},
    {ENODEV, ERROR_FILE_NOT_FOUND},
};

// Where connecting a socket port differs: nothing was lost, the printer was
// never reached, and the user needs to know why.
// ECONNREFUSED          1225 connection refused        nothing listens there (or the printer
//                                                      took another connection)
// ENETUNREACH, ENETDOWN 1231 network unreachable       no route to that network
// EHOSTUNREACH          1232 host unreachable          no route to the host; Bluetooth: no
//                                                      adapter, or it is off
// ETIMEDOUT, EHOSTDOWN  121  semaphore timeout         no answer in time (a Bluetooth page
//                                                      time-out reads EHOSTDOWN); the number
//                                                      Win32 Bluetooth COM ports answer
// EAFNOSUPPORT, EPROTONOSUPPORT, ESOCKTNOSUPPORT
//                       50   not supported             this system has no such sockets (no
//                                                      Bluetooth in a container)
// EADDRNOTAVAIL         1231 network unreachable       no local address can reach it
constexpr ErrnoRow kConnectTable[] = {
    {ECONNREFUSED, ERROR_CONNECTION_REFUSED}, {ENETUNREACH, ERROR_NETWORK_UNREACHABLE},
    {ENETDOWN, ERROR_NETWORK_UNREACHABLE},    {EADDRNOTAVAIL, ERROR_NETWORK_UNREACHABLE},
    {EHOSTUNREACH, ERROR_HOST_UNREACHABLE},   {ETIMEDOUT, ERROR_SEM_TIMEOUT},
    {EHOSTDOWN, ERROR_SEM_TIMEOUT},           {EAFNOSUPPORT, ERROR_NOT_SUPPORTED},
    {EPROTONOSUPPORT, ERROR_NOT_SUPPORTED},   {ESOCKTNOSUPPORT, ERROR_NOT_SUPPORTED},
};

} // namespace

DWORD Win32ErrorFromErrno(int err) {
    if (err == 0) {
        return ERROR_SUCCESS;
    }
    for (const ErrnoRow& row : kTable) {
        if (row.err == err) {
            return row.win32;
        }
    }
    return ERROR_GEN_FAILURE;
}

DWORD Win32ErrorFromOpenErrno(int err) {
    for (const ErrnoRow& row : kOpenTable) {
        if (row.err == err) {
            return row.win32;
        }
    }
    return Win32ErrorFromErrno(err);
}

DWORD Win32ErrorFromConnectErrno(int err) {
    for (const ErrnoRow& row : kConnectTable) {
        if (row.err == err) {
            return row.win32;
        }
    }
    return Win32ErrorFromOpenErrno(err);
}

DWORD Win32ErrorFromLookup(int status, int err) {
    switch (status) {
    case 0:
        return ERROR_SUCCESS;
    case EAI_NONAME:
    case EAI_NODATA:
    case EAI_AGAIN: // no answer from the name service now: still not found
    case EAI_FAIL:
    case EAI_ADDRFAMILY:
        return ERROR_BAD_NETPATH;
    case EAI_MEMORY:
        return ERROR_NOT_ENOUGH_MEMORY;
    case EAI_SYSTEM:
        return Win32ErrorFromConnectErrno(err);
    default:
        return ERROR_GEN_FAILURE;
    }
}

void SetLastErrorFromErrno(int err) {
    SetLastError(Win32ErrorFromErrno(err));
}

void SetLastErrorFromOpenErrno(int err) {
    SetLastError(Win32ErrorFromOpenErrno(err));
}

} // namespace kernel32
