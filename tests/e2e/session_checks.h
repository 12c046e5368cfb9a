// What the end-to-end tests look for after the program has run: the bytes of
// a Print with the form's start values, and whether the program and its hold
// on the printer's port are gone.
#pragma once

#include "tests/support/bytes.h"

#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/types.h>
#include <unistd.h>

namespace e2e {

// A Print of text with the form's start values (Qelvo, x1, x1, no flags):
// the lead-in, the plain format block, the text with the line end the form
// adds, and the two zero bytes after it.
inline testing_support::Bytes PlainPrint(const std::string& text) {
    using testing_support::ToBytes;
    const testing_support::Bytes qelvoPlain =
        ToBytes({0x00, 0x1B, 0x55, 0x01, 0x1B, 0x56, 0x01, 0x1B, 0x2D, 0x00, 0x1B, 0x63, 0x00, 0x1B,
                 0x69, 0x00});
    return testing_support::Join(
        {ToBytes({0, 0}), qelvoPlain, ToBytes(text), ToBytes({0x0D, 0x0A, 0, 0})});
}

// Whether a process of that number is still there.
inline bool Alive(pid_t pid) {
    return ::kill(pid, 0) == 0;
}

// Whether another program could now take the printer: the exclusive open and
// the lock the program held are gone.
inline bool PortFree(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    const bool unlocked = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return unlocked;
}

} // namespace e2e
