// What the port connection needs of the form that hosts it: the member that
// holds the port handle, and the window that owns its message boxes.
#pragma once

#include "platform/win32/types.h"

class PortHost {
public:
    virtual ~PortHost() = default;

    // The host's m_hPort: written by OpenPort, used by WritePort and ClosePort.
    virtual HANDLE& PortHandle() = 0;
    // The owner of the connection's message boxes.
    virtual HWND MessageOwner() const = 0;
};
