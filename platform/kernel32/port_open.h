// Opening a serial port named "COMn:" through the device table.
#pragma once

#include "platform/kernel32/handle_table.h"

#include <string>

namespace kernel32 {

// Opens the device that the link named linkName in the device table points
// at, exclusively, with open flags accessFlags (O_RDONLY, O_WRONLY, O_RDWR).
// Answers nullptr and sets the last error on failure: 2 when there is no such
// link or device, 5 when another opener holds the port or when the link leads
// to a terminal that is never a printer (see refused_terminal.h), which is
// then not even opened. A link whose text is a socket address (tcp:HOST:PORT,
// bt:ADDRESS[/CHANNEL]) connects to that printer instead (socket_port.h); one
// that begins like an address but is none is refused with 123 (invalid name).
ObjectRef OpenPortDevice(const std::string& linkName, int accessFlags);

} // namespace kernel32
