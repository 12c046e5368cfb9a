// Reading and applying termios with the TCGETS and TCSETS ioctls.
//
// Never glibc's tcsetattr for a port: it reads the settings back and answers
// EINVAL when the call changed nothing and PARENB did not stick, which on a
// pseudo-terminal (where PARENB never sticks) makes every open after the
// first fail.
#pragma once

#include <termios.h>

namespace kernel32 {

// Each answers 0 or the errno of the failing ioctl.
int ReadLineSettings(int fd, termios& t);
int ApplyLineSettings(int fd, const termios& t);

// Raise (on) or drop the modem lines in mask (TIOCM_DTR, TIOCM_RTS). A device
// without modem lines (a pseudo-terminal answers ENOTTY, older kernels
// EINVAL) is not an error: there is nothing to raise.
int SetModemLines(int fd, int mask, bool on);

} // namespace kernel32
