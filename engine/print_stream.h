// Everything the program puts on the printer link, byte for byte.
#pragma once

#include "engine/command_set.h"
#include "engine/format_options.h"
#include "link/port_host.h"
#include "platform/afx/cstring.h"

// Sends s in the ANSI code page followed by two zero bytes (its terminator
// and one more); the empty string is the lead-in 00 00. s is taken by value:
// a copy shares the caller's buffer.
// Without memory for the conversion nothing is sent: the user is told, and
// the answer is false.
bool SendText(PortHost& host, CString s);

// Tells the user, in a message box owned by the host, that the text to print
// does not fit in the memory left.
void ReportNotEnoughMemory(PortHost& host);

// Fills the command block for set and options and writes it in one write.
bool SendFormatBlock(PortHost& host, CommandSet set, FormatOptions options);

// Writes the test page header 00 00 00 00 1B 40, then the test text framed
// as by SendText. A failed header write ends the page.
void SendTestPage(PortHost& host);
