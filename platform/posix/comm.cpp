// Serial port configuration: the device control block, time-outs and queue
// sizes, applied to the port for real.
#include "platform/win32/comm.h"

#include "platform/posix/dcb_termios.h"
#include "platform/posix/errno_map.h"
#include "platform/posix/handle_table.h"
#include "platform/posix/line_ioctl.h"
#include "platform/win32/kernel.h"

#include <sys/ioctl.h>
#include <termios.h>

namespace {

using posix_layer::ObjectRef;

BOOL Fail(int err) {
    posix_layer::SetLastErrorFromErrno(err);
    return FALSE;
}

BOOL InvalidParameter() {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

// The current termios of a port; fails for anything that is not a tty.
bool ReadSettings(const ObjectRef& object, termios& t) {
    if (const int err = posix_layer::ReadLineSettings(object->fd(), t); err != 0) {
        posix_layer::SetLastErrorFromErrno(err);
        return false;
    }
    return true;
}

// RTS "toggle" is low while idle; every other mode keeps the line up.
bool RtsRaised(DWORD control) {
    return control != RTS_CONTROL_DISABLE && control != RTS_CONTROL_TOGGLE;
}

} // namespace

BOOL GetCommState(HANDLE hFile, LPDCB lpDCB) {
    const ObjectRef object = posix_layer::FindObject(hFile);
    if (!object) {
        return FALSE;
    }
    if (lpDCB == nullptr) {
        return InvalidParameter();
    }
    termios t{};
    if (!ReadSettings(object, t)) {
        return FALSE;
    }
    const posix_layer::OpenObject::PortState state = object->port();
    *lpDCB = posix_layer::DcbFromTermios(t);
    lpDCB->fDtrControl = state.dtrControl;
    if (lpDCB->fRtsControl != RTS_CONTROL_HANDSHAKE) {
        lpDCB->fRtsControl = state.rtsControl;
    }
    return TRUE;
}

BOOL SetCommState(HANDLE hFile, LPDCB lpDCB) {
    const ObjectRef object = posix_layer::FindObject(hFile);
    if (!object) {
        return FALSE;
    }
    if (lpDCB == nullptr) {
        return InvalidParameter();
    }
    termios t{};
    if (!ReadSettings(object, t)) {
        return FALSE;
    }
    if (const DWORD error = posix_layer::TermiosFromDcb(*lpDCB, t); error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    if (const int err = posix_layer::ApplyLineSettings(object->fd(), t); err != 0) {
        return Fail(err);
    }
    const bool dtr = lpDCB->fDtrControl != DTR_CONTROL_DISABLE;
    if (const int err = posix_layer::SetModemLines(object->fd(), TIOCM_DTR, dtr); err != 0) {
        return Fail(err);
    }
    const bool rts = RtsRaised(lpDCB->fRtsControl);
    if (const int err = posix_layer::SetModemLines(object->fd(), TIOCM_RTS, rts); err != 0) {
        return Fail(err);
    }
    posix_layer::OpenObject::PortState state = object->port();
    state.dtrControl = lpDCB->fDtrControl;
    state.rtsControl = lpDCB->fRtsControl;
    object->set_port(state);
    return TRUE;
}

BOOL GetCommTimeouts(HANDLE hFile, LPCOMMTIMEOUTS lpCommTimeouts) {
    const ObjectRef object = posix_layer::FindObject(hFile);
    if (!object) {
        return FALSE;
    }
    if (lpCommTimeouts == nullptr) {
        return InvalidParameter();
    }
    termios t{};
    if (!ReadSettings(object, t)) {
        return FALSE;
    }
    *lpCommTimeouts = object->port().timeouts;
    return TRUE;
}

BOOL SetCommTimeouts(HANDLE hFile, LPCOMMTIMEOUTS lpCommTimeouts) {
    const ObjectRef object = posix_layer::FindObject(hFile);
    if (!object) {
        return FALSE;
    }
    if (lpCommTimeouts == nullptr) {
        return InvalidParameter();
    }
    termios t{};
    if (!ReadSettings(object, t)) {
        return FALSE;
    }
    if (const DWORD error = posix_layer::TermiosFromTimeouts(*lpCommTimeouts, t);
        error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    if (const int err = posix_layer::ApplyLineSettings(object->fd(), t); err != 0) {
        return Fail(err);
    }
    posix_layer::OpenObject::PortState state = object->port();
    state.timeouts = *lpCommTimeouts;
    object->set_port(state);
    return TRUE;
}

BOOL SetupComm(HANDLE hFile, DWORD, DWORD) {
    // Queue sizes are recommendations on Win32 too; Linux has no per-port
    // queue size to set. The call still refuses what is not a port.
    const ObjectRef object = posix_layer::FindObject(hFile);
    if (!object) {
        return FALSE;
    }
    termios t{};
    return ReadSettings(object, t) ? TRUE : FALSE;
}
