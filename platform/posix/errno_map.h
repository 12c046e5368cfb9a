// The one table that turns a POSIX errno into the Win32 error number that
// GetLastError answers. Users and the program know the Win32 numbers: a
// missing port is 2 and a port in use is 5, whatever Linux called it.
#pragma once

#include "platform/win32/types.h"

namespace posix_layer {

// The error of a call on something already open (a read, a write, a port
// setting): a device that hung up or went away answers a number of its own
// (1167, 1617, 109, 64), never the general failure, so that the caller can
// tell a printer that is gone from a write that merely failed.
DWORD Win32ErrorFromErrno(int err);

// The error of opening a name: no device behind it is "file not found" (2),
// as Win32 answers for a port that does not exist.
DWORD Win32ErrorFromOpenErrno(int err);

// SetLastError(Win32ErrorFromErrno(err)).
void SetLastErrorFromErrno(int err);

// SetLastError(Win32ErrorFromOpenErrno(err)).
void SetLastErrorFromOpenErrno(int err);

} // namespace posix_layer
