// The one table that turns a POSIX errno into the Win32 error number that
// GetLastError answers. Users and the program know the Win32 numbers: a
// missing port is 2 and a port in use is 5, whatever Linux called it.
#pragma once

#include "platform/win32/types.h"

namespace posix_layer {

DWORD Win32ErrorFromErrno(int err);

// SetLastError(Win32ErrorFromErrno(err)).
void SetLastErrorFromErrno(int err);

} // namespace posix_layer
