// Serial port configuration: the device control block, time-outs and queue
// sizes, applied to a serial port for real and remembered on a socket port
// (a network or Bluetooth printer), which has no line to set.
#include "platform/win32/comm.h"

#include "platform/kernel32/dcb_termios.h"
#include "platform/kernel32/errno_map.h"
#include "platform/kernel32/handle_table.h"
#include "platform/kernel32/line_ioctl.h"
#include "platform/kernel32/socket_port.h"
#include "platform/win32/kernel.h"

#include <sys/ioctl.h>
#include <termios.h>

namespace {

using kernel32::ObjectRef;

BOOL Fail(int err) {
    kernel32::SetLastErrorFromErrno(err);
    return FALSE;
}

// The current termios of a port; fails for anything that is not a tty.
bool ReadSettings(const ObjectRef& object, termios& t) {
    if (const int err = kernel32::ReadLineSettings(object->fd(), t); err != 0) {
        kernel32::SetLastErrorFromErrno(err);
        return false;
    }
    return true;
}

// The object behind hFile: nullptr, with the last error set, for a handle
// that is not open or a missing argument.
ObjectRef ObjectFor(HANDLE hFile, bool argumentGiven) {
    ObjectRef object = kernel32::FindObject(hFile);
    if (object && !argumentGiven) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return object;
}

// The serial port behind hFile with its current termios in t: nullptr, with
// the last error set, for a handle that is not open, a missing argument, or
// something that is not a terminal. Socket ports are taken by the caller
// before it comes here.
ObjectRef PortWithSettings(HANDLE hFile, termios& t, bool argumentGiven = true) {
    ObjectRef object = ObjectFor(hFile, argumentGiven);
    if (!object || !ReadSettings(object, t)) {
        return nullptr;
    }
    return object;
}

// A socket port behind hFile, or nullptr: then a serial port, or no object
// at all (ERROR_INVALID_HANDLE, which the serial path sets again).
ObjectRef SocketPort(HANDLE hFile) {
    ObjectRef object = kernel32::FindObject(hFile);
    return object && object->isSocket() ? object : nullptr;
}

// Remembers what change() makes of the socket port's state after check()
// accepted the value, as a Bluetooth virtual COM port does.
template <typename Check, typename Change>
BOOL Remember(const ObjectRef& socket, bool argumentGiven, Check check, Change change) {
    if (!argumentGiven) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (const DWORD error = check(); error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    kernel32::OpenObject::PortState state = socket->port();
    change(state);
    socket->setPort(state);
    return TRUE;
}

// RTS "toggle" is low while idle; every other mode keeps the line up.
bool RtsRaised(DWORD control) {
    return control != RTS_CONTROL_DISABLE && control != RTS_CONTROL_TOGGLE;
}

} // namespace

BOOL GetCommState(HANDLE hFile, LPDCB lpDCB) {
    if (const ObjectRef socket = SocketPort(hFile)) {
        if (lpDCB == nullptr) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        *lpDCB = socket->port().settings;
        return TRUE;
    }
    termios t{};
    const ObjectRef object = PortWithSettings(hFile, t, lpDCB != nullptr);
    if (!object) {
        return FALSE;
    }
    const kernel32::OpenObject::PortState state = object->port();
    *lpDCB = kernel32::DcbFromTermios(t);
    lpDCB->fDtrControl = state.dtrControl;
    if (lpDCB->fRtsControl != RTS_CONTROL_HANDSHAKE) {
        lpDCB->fRtsControl = state.rtsControl;
    }
    return TRUE;
}

BOOL SetCommState(HANDLE hFile, LPDCB lpDCB) {
    if (const ObjectRef socket = SocketPort(hFile)) {
        return Remember(
            socket, lpDCB != nullptr, [&] { return kernel32::CheckRememberedSettings(*lpDCB); },
            [&](auto& state) {
                state.settings = *lpDCB;
                state.settings.DCBlength = sizeof(DCB);
            });
    }
    termios t{};
    const ObjectRef object = PortWithSettings(hFile, t, lpDCB != nullptr);
    if (!object) {
        return FALSE;
    }
    if (const DWORD error = kernel32::TermiosFromDcb(*lpDCB, t); error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    if (const int err = kernel32::ApplyLineSettings(object->fd(), t); err != 0) {
        return Fail(err);
    }
    const bool dtr = lpDCB->fDtrControl != DTR_CONTROL_DISABLE;
    if (const int err = kernel32::SetModemLines(object->fd(), TIOCM_DTR, dtr); err != 0) {
        return Fail(err);
    }
    const bool rts = RtsRaised(lpDCB->fRtsControl);
    if (const int err = kernel32::SetModemLines(object->fd(), TIOCM_RTS, rts); err != 0) {
        return Fail(err);
    }
    kernel32::OpenObject::PortState state = object->port();
    state.dtrControl = lpDCB->fDtrControl;
    state.rtsControl = lpDCB->fRtsControl;
    object->setPort(state);
    return TRUE;
}

BOOL GetCommTimeouts(HANDLE hFile, LPCOMMTIMEOUTS lpCommTimeouts) {
    termios t{};
    // A serial port is asked for its settings only to refuse what is no port.
    const ObjectRef object = SocketPort(hFile)
                                 ? ObjectFor(hFile, lpCommTimeouts != nullptr)
                                 : PortWithSettings(hFile, t, lpCommTimeouts != nullptr);
    if (!object) {
        return FALSE;
    }
    *lpCommTimeouts = object->port().timeouts;
    return TRUE;
}

BOOL SetCommTimeouts(HANDLE hFile, LPCOMMTIMEOUTS lpCommTimeouts) {
    if (const ObjectRef socket = SocketPort(hFile)) {
        return Remember(
            socket, lpCommTimeouts != nullptr,
            [&] { return kernel32::CheckRememberedTimeouts(*lpCommTimeouts); },
            [&](auto& state) { state.timeouts = *lpCommTimeouts; });
    }
    termios t{};
    const ObjectRef object = PortWithSettings(hFile, t, lpCommTimeouts != nullptr);
    if (!object) {
        return FALSE;
    }
    if (const DWORD error = kernel32::TermiosFromTimeouts(*lpCommTimeouts, t);
        error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    if (const int err = kernel32::ApplyLineSettings(object->fd(), t); err != 0) {
        return Fail(err);
    }
    kernel32::OpenObject::PortState state = object->port();
    state.timeouts = *lpCommTimeouts;
    object->setPort(state);
    return TRUE;
}

BOOL SetupComm(HANDLE hFile, DWORD dwInQueue, DWORD dwOutQueue) {
    if (const ObjectRef socket = SocketPort(hFile)) {
        return Remember(
            socket, true, [] { return DWORD{ERROR_SUCCESS}; },
            [&](auto& state) {
                state.inQueue = dwInQueue;
                state.outQueue = dwOutQueue;
            });
    }
    // Queue sizes are recommendations on Win32 too; Linux has no per-port
    // queue size to set. The call still refuses what is not a port.
    termios t{};
    return PortWithSettings(hFile, t) ? TRUE : FALSE;
}
