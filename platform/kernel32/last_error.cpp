// The last error is per thread, as on Win32: a failing call on one thread
// never overwrites what another thread is about to read.
#include "platform/win32/kernel.h"

namespace {

thread_local DWORD t_lastError = ERROR_SUCCESS;

} // namespace

DWORD GetLastError() {
    return t_lastError;
}

void SetLastError(DWORD dwErrCode) {
    t_lastError = dwErrCode;
}
