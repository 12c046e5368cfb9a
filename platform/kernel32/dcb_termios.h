// The translation between Win32's device control block and time-outs and
// termios, as pure functions: what a pseudo-terminal silently drops (parity,
// for one) can still be checked here.
#pragma once

#include "platform/win32/comm.h"
#include "platform/win32/types.h"

#include <termios.h>

namespace kernel32 {

// Writes into t what the block governs and keeps the rest (VMIN and VTIME
// belong to the time-outs). Answers ERROR_SUCCESS, or ERROR_INVALID_PARAMETER
// for a block that no line can honour (unknown rate, byte size, parity or stop
// bits; XonChar equal to XoffChar, which Win32 refuses too). Modem lines
// (fDtrControl, fRtsControl) are not termios: the caller raises or drops them.
DWORD TermiosFromDcb(const DCB& dcb, termios& t);

// The block that describes t. Modem line control reads as "enable" and
// "handshake" follows CRTSCTS; the caller fills in what it knows better.
DCB DcbFromTermios(const termios& t);

// Applies read time-outs as VMIN/VTIME. Supported: the interval MAXDWORD with
// zero totals (a read answers at once with what has arrived) and all zeros
// (a read waits for the whole count). Write totals must be zero: writes block
// until every byte is taken. Anything else answers ERROR_INVALID_PARAMETER
// rather than pretending to honour it.
DWORD TermiosFromTimeouts(const COMMTIMEOUTS& timeouts, termios& t);

// True when the time-outs ask reads to answer at once (VMIN = 0).
bool ReadsReturnAtOnce(const COMMTIMEOUTS& timeouts);

} // namespace kernel32
