// The one connection to the printer: opened and configured on first use,
// kept open between jobs, closed when the user picks another COM port.
#pragma once

#include "link/port_host.h"
#include "platform/win32/types.h"

// Non-zero while a configured connection is open; host.PortHandle() is
// meaningful only then.
extern BOOL g_bPortOpen;

// Makes sure a configured connection is open; with one open already, answers
// true at once whatever nPort is. A device that cannot be opened, or that
// refuses its time-outs, settings or queue sizes, is reported in one message
// box with the error of the call that failed, and is left closed.
bool OpenPort(PortHost& host, int nPort);

// Closes the connection if one is open; always answers true.
bool ClosePort(PortHost& host);

// Writes nCount bytes in one synchronous write. A failure is reported in a
// message box. When the printer hung up or went away, the connection is
// closed after the message, so that the next job opens the port again; any
// other failure leaves it open. With no connection open nothing is written
// and the failure is reported the same way.
bool WritePort(PortHost& host, const void* pBytes, DWORD nCount);

// Tells the platform that the writes that follow carry nBytes in all (0:
// no job), so that a wait shows the progress of the whole job rather than of
// one write. Nothing is written; without a connection nothing happens.
void AnnounceJobSize(PortHost& host, ULONGLONG nBytes);
