// Terminals that are never a printer, whatever a COM link says: the
// program's own terminal (its controlling terminal, and any terminal on its
// standard input, output or error) and the device nodes that stand for some
// other terminal (/dev/tty, /dev/console, /dev/ptmx, /dev/tty0). Printer bytes
// and line settings sent to the first would wipe the form; sent to a new
// pseudo-terminal from /dev/ptmx they would vanish, yet report success.
#pragma once

#include <sys/stat.h>

namespace kernel32 {

// Whether the file described by st (from stat or fstat) is such a terminal.
bool IsRefusedTerminal(const struct stat& st);

} // namespace kernel32
