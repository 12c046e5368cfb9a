#include "tools/vprinter/pty_port.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace vprinter {

namespace {

std::string failure(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

unsigned speed_of(speed_t code) {
    switch (code) {
    case B1200:
        return 1200;
    case B2400:
        return 2400;
    case B4800:
        return 4800;
    case B9600:
        return 9600;
    case B19200:
        return 19200;
    case B38400:
        return 38400;
    case B57600:
        return 57600;
    case B115200:
        return 115200;
    case B230400:
        return 230400;
    case B460800:
        return 460800;
    case B921600:
        return 921600;
    default:
        return 0;
    }
}

// What a small printer's serial port looks like before anyone configures
// it: raw 8-bit bytes at 115200, no flow control.
bool configure(int fd) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) {
        return false;
    }
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    cfsetispeed(&t, B115200);
    cfsetospeed(&t, B115200);
    return tcsetattr(fd, TCSANOW, &t) == 0;
}

// Moves `fd` to `wanted` when that number is free and allowed; answers the
// number the descriptor ends up with.
int move_descriptor(int fd, int wanted) {
    if (wanted <= fd || fcntl(wanted, F_GETFD) != -1 || errno != EBADF) {
        return fd;
    }
    int moved = dup3(fd, wanted, O_CLOEXEC);
    if (moved < 0) {
        return fd;
    }
    ::close(fd);
    return moved;
}

} // namespace

std::unique_ptr<PtyPort> PtyPort::open(int descriptor, std::string* error) {
    std::unique_ptr<PtyPort> port(new PtyPort());
    port->master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (port->master_ < 0) {
        *error = failure("posix_openpt");
        return nullptr;
    }
    if (grantpt(port->master_) != 0 || unlockpt(port->master_) != 0) {
        *error = failure("unlockpt");
        return nullptr;
    }
    char name[128];
    if (ptsname_r(port->master_, name, sizeof name) != 0) {
        *error = failure("ptsname");
        return nullptr;
    }
    port->device_ = name;
    port->slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (port->slave_ < 0) {
        *error = failure(name);
        return nullptr;
    }
    port->slave_ = move_descriptor(port->slave_, descriptor);
    if (!configure(port->slave_)) {
        *error = failure("tcsetattr");
        return nullptr;
    }
    // Non-blocking, so that a read drains what is there and stops.
    int flags = fcntl(port->master_, F_GETFL);
    fcntl(port->master_, F_SETFL, flags | O_NONBLOCK);

    port->watch_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (port->watch_ >= 0 && inotify_add_watch(port->watch_, name, IN_OPEN | IN_CLOSE) < 0) {
        ::close(port->watch_);
        port->watch_ = -1;
    }
    return port;
}

std::string PtyPort::link_path() const {
    return "/proc/" + std::to_string(::getpid()) + "/fd/" + std::to_string(slave_);
}

PtyPort::~PtyPort() {
    for (int fd : {watch_, slave_, master_}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

PtyPort::Activity PtyPort::take_activity() {
    Activity activity;
    if (watch_ < 0) {
        return activity;
    }
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        ssize_t n = ::read(watch_, buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        for (char* p = buffer; p < buffer + n;) {
            auto* event = reinterpret_cast<inotify_event*>(p);
            if ((event->mask & IN_OPEN) != 0) {
                ++activity.opened;
            }
            if ((event->mask & (IN_CLOSE_WRITE | IN_CLOSE_NOWRITE)) != 0) {
                ++activity.closed;
            }
            p += sizeof(inotify_event) + event->len;
        }
    }
    if (activity.closed > 0) {
        ioctl(slave_, TIOCNXCL);
    }
    return activity;
}

PortSettings PtyPort::settings() const {
    PortSettings s;
    termios t{};
    if (tcgetattr(slave_, &t) != 0) {
        return s;
    }
    s.speed = speed_of(cfgetospeed(&t));
    switch (t.c_cflag & CSIZE) {
    case CS5:
        s.data_bits = 5;
        break;
    case CS6:
        s.data_bits = 6;
        break;
    case CS7:
        s.data_bits = 7;
        break;
    default:
        s.data_bits = 8;
        break;
    }
    s.two_stop_bits = (t.c_cflag & CSTOPB) != 0;
    s.ixon = (t.c_iflag & IXON) != 0;
    s.ixoff = (t.c_iflag & IXOFF) != 0;
    s.crtscts = (t.c_cflag & CRTSCTS) != 0;
    s.raw = (t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN)) == 0 && (t.c_oflag & OPOST) == 0;
    return s;
}

} // namespace vprinter
