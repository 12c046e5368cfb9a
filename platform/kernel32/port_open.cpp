#include "platform/kernel32/port_open.h"

#include "platform/kernel32/device_table.h"
#include "platform/kernel32/errno_map.h"
#include "platform/kernel32/refused_terminal.h"
#include "platform/kernel32/socket_port.h"
#include "platform/kernel32/socket_target.h"
#include "platform/win32/kernel.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <optional>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kernel32 {

namespace {

// Win32 programs know no SIGPIPE: a write whose reader is gone fails with
// an error (broken pipe), it does not end the process. Done once, before the
// first port can be written to, and only where nobody chose a handler.
void KeepBrokenPipesFromEndingTheProgram() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction current {};
        if (::sigaction(SIGPIPE, nullptr, &current) == 0 && (current.sa_flags & SA_SIGINFO) == 0 &&
            current.sa_handler == SIG_DFL) {
            struct sigaction ignore {};
            ignore.sa_handler = SIG_IGN;
            sigemptyset(&ignore.sa_mask);
            ::sigaction(SIGPIPE, &ignore, nullptr);
        }
    });
}

ObjectRef Fail(int fd, int err) {
    ::close(fd);
    SetLastErrorFromOpenErrno(err);
    return nullptr;
}

// Where the link points, when it is a link: a socket address is text that
// names no file, so it is read before anything is looked up by path.
std::optional<std::string> LinkText(const std::string& path) {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t n = ::readlink(path.c_str(), buffer.data(), buffer.size());
        if (n == -1) {
            return std::nullopt; // not a link, or nothing there: the open says which
        }
        if (static_cast<std::size_t>(n) < buffer.size()) {
            return std::string(buffer.data(), static_cast<std::size_t>(n));
        }
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace

ObjectRef OpenPortDevice(const std::string& linkName, int accessFlags) {
    KeepBrokenPipesFromEndingTheProgram();
    const std::string path = DeviceFolder() + "/" + linkName;

    if (const std::optional<std::string> link = LinkText(path)) {
        SocketTarget target;
        switch (ParseLinkTarget(*link, target)) {
        case TargetKind::Socket:
            return OpenSocketPort(target, linkName);
        case TargetKind::Malformed:
            // Meant as an address, but none: the name is wrong, not missing.
            SetLastError(ERROR_INVALID_NAME);
            return nullptr;
        case TargetKind::Device:
            break;
        }
    }

    // A terminal that is no printer is refused before it is opened, so that
    // nothing about it changes; Win32 answers "access denied" for a device
    // it will not hand out.
    struct stat target {};
    if (::stat(path.c_str(), &target) == 0 && IsRefusedTerminal(target)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }

    // O_NONBLOCK: an rfcomm device, or a line without carrier, would
    // otherwise block in open until the link comes up. O_NOCTTY: a port must
    // never become our controlling terminal.
    int fd = -1;
    do {
        fd = ::open(path.c_str(), accessFlags | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    } while (fd == -1 && errno == EINTR);
    if (fd == -1) {
        SetLastErrorFromOpenErrno(errno);
        return nullptr;
    }
    // The link may have changed since the look above: what was opened decides.
    struct stat opened {};
    if (::fstat(fd, &opened) == -1) {
        return Fail(fd, errno);
    }
    if (IsRefusedTerminal(opened)) {
        ::close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }

    // Win32 opens a port for one user only. TIOCEXCL refuses later openers
    // except root; the lock refuses root too. The lock comes first: a refused
    // opener must not touch the holder's TIOCEXCL on its way out, and once
    // TIOCEXCL is set nothing below may fail.
    if (::flock(fd, LOCK_EX | LOCK_NB) == -1 && errno != ENOLCK) {
        return Fail(fd, errno);
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags == -1 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == -1) {
        return Fail(fd, errno);
    }
    if (::ioctl(fd, TIOCEXCL) == -1 && errno != ENOTTY && errno != EINVAL) {
        return Fail(fd, errno);
    }
    return std::make_shared<OpenObject>(fd, ObjectKind::Port);
}

} // namespace kernel32
