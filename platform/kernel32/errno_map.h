// The one table that turns a POSIX errno into the Win32 error number that
// GetLastError answers. Users and the program know the Win32 numbers: a
// missing port is 2 and a port in use is 5, whatever Linux called it.
#pragma once

#include "platform/win32/types.h"

namespace kernel32 {

// The error of a call on something already open (a read, a write, a port
// setting): a device that hung up or went away answers a number of its own
// (1167, 1617, 109, 64), never the general failure, so that the caller can
// tell a printer that is gone from a write that merely failed.
DWORD Win32ErrorFromErrno(int err);

// The error of opening a name: no device behind it is "file not found" (2),
// as Win32 answers for a port that does not exist.
DWORD Win32ErrorFromOpenErrno(int err);

// The error of connecting a socket port (a network or Bluetooth printer):
// each way a connection fails has its own number, as Win32 gives them for
// sockets and Bluetooth ports: refused 1225, network unreachable 1231, host
// unreachable 1232, no answer in time 121, no such socket family here 50.
DWORD Win32ErrorFromConnectErrno(int err);

// The error of looking a printer's host name up (a getaddrinfo result; err is
// errno for EAI_SYSTEM): a name that cannot be found now is "network path not
// found" (53).
DWORD Win32ErrorFromLookup(int status, int err);

// SetLastError(Win32ErrorFromErrno(err)).
void SetLastErrorFromErrno(int err);

// SetLastError(Win32ErrorFromOpenErrno(err)).
void SetLastErrorFromOpenErrno(int err);

} // namespace kernel32
