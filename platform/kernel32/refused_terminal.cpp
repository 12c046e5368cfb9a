#include "platform/kernel32/refused_terminal.h"

#include <fcntl.h>
#include <optional>
#include <sys/ioctl.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace kernel32 {

namespace {

// Nodes that are no line of their own: /dev/tty (5,0), /dev/console (5,1),
// /dev/ptmx and /dev/pts/ptmx (5,2) and the foreground console /dev/tty0 (4,0).
bool StandsForAnotherTerminal(dev_t device) {
    const unsigned int major = major(device);
    const unsigned int minor = minor(device);
    return (major == 5 && minor <= 2) || (major == 4 && minor == 0);
}

// TIOCGDEV answers a device number in the kernel's compact encoding.
dev_t FromKernelEncoding(unsigned int encoded) {
    return makedev((encoded & 0xfff00u) >> 8, (encoded & 0xffu) | ((encoded >> 12) & 0xfff00u));
}

// The terminal behind fd, if fd is one. TIOCGDEV names the terminal itself
// when fd was opened through /dev/tty or /dev/console.
std::optional<dev_t> TerminalBehind(int fd) {
    if (::isatty(fd) == 0) {
        return std::nullopt;
    }
    unsigned int encoded = 0;
    if (::ioctl(fd, TIOCGDEV, &encoded) == 0) {
        return FromKernelEncoding(encoded);
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISCHR(st.st_mode)) {
        return st.st_rdev;
    }
    return std::nullopt;
}

std::optional<dev_t> ControllingTerminal() {
    // O_NOCTTY and O_NONBLOCK: looking must neither acquire nor wait.
    const int fd = ::open("/dev/tty", O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd == -1) {
        return std::nullopt; // no controlling terminal
    }
    const std::optional<dev_t> device = TerminalBehind(fd);
    ::close(fd);
    return device;
}

bool IsOwnTerminal(dev_t device) {
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (TerminalBehind(fd) == device) {
            return true;
        }
    }
    return ControllingTerminal() == device;
}

} // namespace

bool IsRefusedTerminal(const struct stat& st) {
    return S_ISCHR(st.st_mode) &&
           (StandsForAnotherTerminal(st.st_rdev) || IsOwnTerminal(st.st_rdev));
}

} // namespace kernel32
