#include "tcp_printer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace testing_support {

TcpPrinter::TcpPrinter(const std::string& address, int receiveBuffer) : address_(address) {
    const bool v6 = address.find(':') != std::string::npos;
    sockaddr_storage storage{};
    socklen_t length = 0;
    if (v6) {
        auto* a = reinterpret_cast<sockaddr_in6*>(&storage);
        a->sin6_family = AF_INET6;
        if (::inet_pton(AF_INET6, address.c_str(), &a->sin6_addr) != 1) {
            return;
        }
        length = sizeof *a;
    } else {
        auto* a = reinterpret_cast<sockaddr_in*>(&storage);
        a->sin_family = AF_INET;
        if (::inet_pton(AF_INET, address.c_str(), &a->sin_addr) != 1) {
            return;
        }
        length = sizeof *a;
    }
    const int fd = ::socket(v6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd == -1) {
        return;
    }
    if (receiveBuffer > 0) { // inherited by the connections it accepts
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    }
    if (::bind(fd, reinterpret_cast<sockaddr*>(&storage), length) == -1 || ::listen(fd, 4) == -1 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&storage), &length) == -1 ||
        ::pipe2(wake_, O_CLOEXEC) == -1) {
        ::close(fd);
        return;
    }
    port_ = ntohs(v6 ? reinterpret_cast<sockaddr_in6*>(&storage)->sin6_port
                     : reinterpret_cast<sockaddr_in*>(&storage)->sin_port);
    listener_ = fd;
    loop_ = std::thread([this] { Loop(); });
}

TcpPrinter::~TcpPrinter() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    Wake();
    if (loop_.joinable()) {
        loop_.join();
    }
    for (int fd : {listener_, connection_, wake_[0], wake_[1]}) {
        if (fd != -1) {
            ::close(fd);
        }
    }
}

std::string TcpPrinter::target() const {
    const bool v6 = address_.find(':') != std::string::npos;
    return "tcp:" + (v6 ? "[" + address_ + "]" : address_) + ":" + std::to_string(port_);
}

void TcpPrinter::Wake() const {
    if (wake_[1] != -1) {
        const char byte = 1;
        (void)!::write(wake_[1], &byte, 1);
    }
}

void TcpPrinter::Loop() {
    std::vector<std::uint8_t> buffer(65536);
    for (;;) {
        bool reading = false;
        {
            std::lock_guard lock(mutex_);
            if (stopping_) {
                return;
            }
            reading = !stalled_;
        }
        // One connection at a time: the next waits in the backlog.
        pollfd fds[2] = {{wake_[0], POLLIN, 0}, {-1, POLLIN, 0}};
        if (connection_ == -1) {
            fds[1].fd = listener_;
        } else if (reading) {
            fds[1].fd = connection_;
        }
        if (::poll(fds, 2, -1) == -1) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (fds[0].revents != 0) {
            char drained[64];
            (void)!::read(wake_[0], drained, sizeof drained);
            CloseIfIdleAsked(buffer);
            continue;
        }
        if (fds[1].revents == 0) {
            continue;
        }
        if (connection_ == -1) {
            const int accepted = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (accepted != -1) {
                std::lock_guard lock(mutex_);
                connection_ = accepted;
                ++connections_;
            }
            changed_.notify_all();
            continue;
        }
        const ssize_t n = ::recv(connection_, buffer.data(), buffer.size(), 0);
        if (n == -1 && errno == EINTR) {
            continue;
        }
        {
            std::lock_guard lock(mutex_);
            if (n > 0) {
                bytes_.insert(bytes_.end(), buffer.begin(), buffer.begin() + n);
            }
            const bool hangUp = hang_up_after_ != 0 && bytes_.size() >= hang_up_after_;
            if (n <= 0 || hangUp) {
                if (hangUp) {
                    hang_up_after_ = 0;
                    // Unread bytes make the close a reset: the writer hears at once.
                    const linger reset{1, 0};
                    ::setsockopt(connection_, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
                }
                ::close(connection_);
                connection_ = -1;
                ++closes_;
            }
        }
        changed_.notify_all();
    }
}

void TcpPrinter::CloseIfIdleAsked(std::vector<std::uint8_t>& buffer) {
    {
        std::lock_guard lock(mutex_);
        if (!std::exchange(close_idle_, false) || connection_ == -1) {
            return;
        }
        // Whatever is unread would make the close a reset: take it first.
        for (;;) {
            const ssize_t n = ::recv(connection_, buffer.data(), buffer.size(), MSG_DONTWAIT);
            if (n <= 0) {
                break;
            }
            bytes_.insert(bytes_.end(), buffer.begin(), buffer.begin() + n);
        }
        ::close(connection_);
        connection_ = -1;
        ++closes_;
    }
    changed_.notify_all();
}

void TcpPrinter::CloseIdleConnection() {
    {
        std::lock_guard lock(mutex_);
        close_idle_ = true;
    }
    Wake();
}

Bytes TcpPrinter::Received() const {
    std::lock_guard lock(mutex_);
    return bytes_;
}

bool TcpPrinter::WaitForBytes(std::size_t n, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return bytes_.size() >= n; });
}

int TcpPrinter::Connections() const {
    std::lock_guard lock(mutex_);
    return connections_;
}

bool TcpPrinter::WaitForConnections(int n, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return connections_ >= n; });
}

bool TcpPrinter::WaitForClose(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return closes_ >= connections_; });
}

void TcpPrinter::Stall(bool stalled) {
    {
        std::lock_guard lock(mutex_);
        stalled_ = stalled;
    }
    Wake();
}

void TcpPrinter::HangUpAfter(std::size_t n) {
    std::lock_guard lock(mutex_);
    hang_up_after_ = n;
}

bool TcpPrinter::Answer(const Bytes& bytes) {
    std::lock_guard lock(mutex_);
    return connection_ != -1 && ::send(connection_, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
                                    static_cast<ssize_t>(bytes.size());
}

SilentListener::SilentListener() : listener_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::listen(listener_, 0) == 0 &&
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &length) == 0) {
        port_ = ntohs(a.sin_port);
        // Backlog 0 still queues one connection: this one fills it.
        filler_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        ok_ = ::connect(filler_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    }
}

SilentListener::~SilentListener() {
    ::close(filler_);
    ::close(listener_);
}

std::uint16_t UnusedLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    std::uint16_t port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length) == 0) {
        port = ntohs(a.sin_port);
    }
    ::close(fd);
    return port;
}

} // namespace testing_support
