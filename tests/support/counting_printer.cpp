#include "counting_printer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace testing_support {

namespace {

void Check(bool ok, const char* what) {
    if (!ok) {
        throw std::runtime_error(std::string("counting printer: ") + what + ": " +
                                 std::strerror(errno));
    }
}

// A dripping printer takes this much at a time, then rests.
constexpr std::size_t kDrip = 256;
constexpr int kDripRestMs = 2;

} // namespace

CountingPrinter::CountingPrinter(Line line, Pace pace) : pace_(pace) {
    Check(::pipe2(stop_, O_CLOEXEC) == 0, "pipe2");
    if (line == Line::Tcp) {
        Listen();
    } else {
        char name[256] = {};
        Check(::openpty(&master_, &slave_, name, nullptr, nullptr) == 0, "openpty");
        ::fcntl(master_, F_SETFD, FD_CLOEXEC);
        ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
        path_ = name;
    }
    reader_ = std::thread([this] { ReadLoop(); });
}

CountingPrinter::~CountingPrinter() {
    const char stop = 1;
    (void)!::write(stop_[1], &stop, 1);
    reader_.join();
    for (int fd : {master_, slave_, listener_, stop_[0], stop_[1]}) {
        if (fd != -1) {
            ::close(fd);
        }
    }
}

std::uint64_t CountingPrinter::Received() const {
    std::lock_guard lock(mutex_);
    return received_;
}

bool CountingPrinter::WaitFor(std::uint64_t total, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, timeout, [&] { return received_ >= total; });
}

void CountingPrinter::Listen() {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    Check(listener_ != -1 &&
              ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
              ::listen(listener_, 1) == 0 &&
              ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) == 0,
          "listen");
    path_ = "tcp:127.0.0.1:" + std::to_string(ntohs(address.sin_port));
}

// A network printer takes the connection first.
bool CountingPrinter::Accept() {
    pollfd fds[2] = {{listener_, POLLIN, 0}, {stop_[0], POLLIN, 0}};
    while (::poll(fds, 2, -1) == -1) {
        if (errno != EINTR) {
            return false;
        }
    }
    if (fds[1].revents != 0) {
        return false;
    }
    master_ = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    return master_ != -1;
}

bool CountingPrinter::WaitReadable() {
    pollfd fds[2] = {{master_, POLLIN, 0}, {stop_[0], POLLIN, 0}};
    while (::poll(fds, 2, -1) == -1) {
        if (errno != EINTR) {
            return false;
        }
    }
    return fds[1].revents == 0;
}

void CountingPrinter::ReadLoop() {
    if (listener_ != -1 && !Accept()) {
        return;
    }
    std::vector<char> buffer(pace_ == Pace::Dripping ? kDrip : 65536);
    while (WaitReadable()) {
        const ssize_t n = ::read(master_, buffer.data(), buffer.size());
        if (n <= 0) {
            if (n == -1 && errno == EINTR) {
                continue;
            }
            return;
        }
        {
            std::lock_guard lock(mutex_);
            received_ += static_cast<std::uint64_t>(n);
        }
        arrived_.notify_all();
        if (pace_ == Pace::Dripping) {
            // Rests on the stop pipe, so that the end needs no waiting out.
            pollfd stop{stop_[0], POLLIN, 0};
            if (::poll(&stop, 1, kDripRestMs) > 0) {
                return;
            }
        }
    }
}

} // namespace testing_support
