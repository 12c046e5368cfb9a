// The printer's line settings, applied over whatever the port reported.
#pragma once

#include "platform/win32/comm.h"

// 115200 baud, 8 data bits, even parity, one stop bit; binary mode, parity
// checking, XON/XOFF on input only, DTR and RTS raised, no hardware flow
// control. Bits 0 to 14 of the flags word become 0x1293; bits 15 to 31 and
// every other field keep their values.
void SetPrinterLineSettings(DCB& dcb);
