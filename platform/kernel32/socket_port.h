// Ports whose device-table link names a socket (socket_target.h): a network
// printer's raw TCP port or a Bluetooth printer's RFCOMM channel. Opening one
// connects to the printer; the comm calls then behave as on a Bluetooth
// virtual COM port of the original platform: settings are accepted and
// remembered, and bytes go over the connection as they are.
#pragma once

#include "platform/kernel32/handle_table.h"
#include "platform/kernel32/socket_target.h"
#include "platform/win32/comm.h"

#include <chrono>
#include <optional>
#include <string>

namespace kernel32 {

// Claims the printer for this process, then connects, waiting where the user
// sees it ("Connecting COM4 to ...") and can cancel it (995). Answers nullptr
// and sets the last error on failure: 5 when another opener holds the
// printer, 53 when its name is not found, 1225 refused, 1231 or 1232
// unreachable, 121 no answer in time, 50 no such sockets on this system.
ObjectRef OpenSocketPort(const SocketTarget& target, const std::string& linkName);

// Called before each write on a socket port. A printer that closed the
// connection in good order after taking every byte sent on it (many network
// printers close a connection left idle) is connected to again, under the
// same descriptor, so that the write goes out as if nothing had happened.
// Answers ERROR_SUCCESS when the write may go ahead (on a connection that
// failed otherwise it then fails itself, as before); otherwise the write's
// error: 995 when the user cancelled the new connection, 64 when the printer
// cannot be reached again (a printer that is gone).
DWORD ReconnectIfPrinterClosed(OpenObject& port);

// How long connecting may take before it fails with 121: 5 s for a network
// printer, 10 s for a Bluetooth one (paging a device that is off takes about
// 5 s). Tests shorten them.
void SetConnectTimeLimits(std::chrono::milliseconds network, std::chrono::milliseconds bluetooth);

// What GetCommState answers on a socket port before anything was set: 9600
// baud, 8 data bits, no parity, one stop bit, binary, DTR and RTS enabled,
// no flow control, XON 0x11 and XOFF 0x13.
DCB SocketPortDefaults();

// ERROR_SUCCESS, or ERROR_INVALID_PARAMETER for a block that Win32 refuses
// even on a port that only remembers it: rate 0, byte size outside 5 to 8,
// unknown parity or stop bits, 1.5 stop bits with other than 5 data bits or 2
// with 5, XonChar equal to XoffChar.
DWORD CheckRememberedSettings(const DCB& dcb);

// ERROR_SUCCESS, or ERROR_INVALID_PARAMETER for the one set of time-outs that
// Win32 refuses: every read value MAXDWORD.
DWORD CheckRememberedTimeouts(const COMMTIMEOUTS& timeouts);

// How a read on a socket port waits, by Win32's rules for its time-outs.
struct ReadPlan {
    using Limit = std::optional<std::chrono::milliseconds>;
    bool atOnce = false;        // answer with what has arrived, even nothing
    bool firstByteEnds = false; // wait for something, then answer with what has arrived
    Limit total;                // the whole read gives up after this
    Limit interval;             // ... or when the gap after a byte lasts this long
};
// Interval MAXDWORD with zero totals: at once. Interval and multiplier
// MAXDWORD with a constant between: the first byte ends the read, which waits
// at most the constant. Otherwise the total is multiplier x count + constant
// (none when both are 0) and the interval (none when 0) runs from each byte.
ReadPlan PlanRead(const COMMTIMEOUTS& timeouts, DWORD count);

// How long a write of count bytes may take: multiplier x count + constant;
// none when both are 0.
ReadPlan::Limit WriteTimeLimit(const COMMTIMEOUTS& timeouts, DWORD count);

// The abstract socket name that marks a printer as held: one per printer
// address, whatever link or device table names it, so that two names for one
// printer exclude each other as two names for one tty do.
std::string ClaimName(const SocketTarget& target);

} // namespace kernel32
