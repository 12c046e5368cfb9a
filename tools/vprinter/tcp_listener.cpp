#include "tools/vprinter/tcp_listener.h"

#include "tools/vprinter/line_session.h"
#include "tools/vprinter/stop_signals.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstring>
#include <fstream>
#include <iostream>
#include <netinet/in.h>
#include <poll.h>
#include <span>
#include <sstream>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

namespace vprinter {

namespace {

bool parse_port(std::string_view text, std::uint16_t& port) {
    unsigned value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size() || value > 65535) {
        return false;
    }
    port = static_cast<std::uint16_t>(value);
    return true;
}

bool is_loopback(const std::string& host) {
    return host == "localhost" || host == "::1" || host.rfind("127.", 0) == 0;
}

// Whether anything on this machine listens on TCP port `port`, by the
// kernel's socket tables: asking by connecting would hand a live printer a
// job of nothing.
bool something_listens_on(std::uint16_t port) {
    constexpr const char* kListen = "0A";
    for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
        std::ifstream in(table);
        std::string line;
        std::getline(in, line); // the heading
        while (std::getline(in, line)) {
            std::istringstream fields(line);
            std::string slot, local, remote, state;
            fields >> slot >> local >> remote >> state;
            const std::size_t colon = local.rfind(':');
            if (colon == std::string::npos || state != kListen) {
                continue;
            }
            if (std::stoul(local.substr(colon + 1), nullptr, 16) == port) {
                return true;
            }
        }
    }
    return false;
}

int open_listener(const TcpAddress& address, std::uint16_t& bound, std::string* error) {
    const bool v6 = address.host.find(':') != std::string::npos;
    sockaddr_storage storage{};
    socklen_t length = 0;
    if (v6) {
        auto* a = reinterpret_cast<sockaddr_in6*>(&storage);
        a->sin6_family = AF_INET6;
        a->sin6_port = htons(address.port);
        length = sizeof *a;
        if (::inet_pton(AF_INET6, address.host.c_str(), &a->sin6_addr) != 1) {
            *error = address.host + " is not an IPv6 address";
            return -1;
        }
    } else {
        auto* a = reinterpret_cast<sockaddr_in*>(&storage);
        a->sin_family = AF_INET;
        a->sin_port = htons(address.port);
        length = sizeof *a;
        if (::inet_pton(AF_INET, address.host.c_str(), &a->sin_addr) != 1) {
            *error = address.host + " is not an IPv4 address";
            return -1;
        }
    }
    const int fd = ::socket(v6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    if (fd < 0 || ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
        ::bind(fd, reinterpret_cast<sockaddr*>(&storage), length) != 0 || ::listen(fd, 4) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&storage), &length) != 0) {
        *error =
            "cannot listen on " + tcp_link_target(address).substr(4) + ": " + std::strerror(errno);
        if (fd >= 0) {
            ::close(fd);
        }
        return -1;
    }
    bound = ntohs(v6 ? reinterpret_cast<sockaddr_in6*>(&storage)->sin6_port
                     : reinterpret_cast<sockaddr_in*>(&storage)->sin_port);
    return fd;
}

// A TCP port as the printer's line: a writer is a connection, taken one at
// a time; the next waits in the listen queue, as at a printer that serves
// one sender.
class TcpLine final : public LineSource {
public:
    TcpLine(int listener, std::string target) : listener_(listener), target_(std::move(target)) {}
    ~TcpLine() override { hang_up(); }
    TcpLine(const TcpLine&) = delete;
    TcpLine& operator=(const TcpLine&) = delete;

    std::string link_target() const override { return target_; }
    std::string device() const override { return target_.substr(4); }
    std::string shown_target() const override { return target_; }

    std::size_t wait_set(std::span<pollfd, 2> fds, bool /*for_bytes*/) override {
        fds[0] = {connection_ >= 0 ? connection_ : listener_, POLLIN, 0};
        return 1;
    }

    void serve(std::span<const pollfd> fds, std::size_t allowed, LineEvents& events) override {
        if (fds[0].revents == 0) {
            return;
        }
        if (connection_ < 0) {
            connection_ = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection_ >= 0) {
                events.writer_came();
            }
            return;
        }
        const ssize_t n = ::recv(connection_, buffer_, std::min(sizeof buffer_, allowed), 0);
        if (n > 0) {
            events.bytes_arrived(events.now(), std::span(buffer_, static_cast<std::size_t>(n)));
        } else if (n == 0 || errno != EINTR) {
            ::close(connection_);
            connection_ = -1;
            events.writer_left();
        }
    }

    std::span<const std::uint8_t> read_now() override {
        const ssize_t n =
            connection_ >= 0 ? ::recv(connection_, buffer_, sizeof buffer_, MSG_DONTWAIT) : 0;
        return std::span(buffer_, n > 0 ? static_cast<std::size_t>(n) : 0);
    }

    void hang_up() override {
        if (connection_ >= 0) {
            ::close(connection_);
            connection_ = -1;
        }
        if (listener_ >= 0) {
            ::close(listener_);
            listener_ = -1;
        }
    }

private:
    int listener_;
    int connection_ = -1;
    const std::string target_;
    std::uint8_t buffer_[4096] = {};
};

} // namespace

std::optional<TcpAddress> parse_tcp_address(const std::string& text) {
    TcpAddress address;
    std::string_view port = text;
    if (text.starts_with('[')) {
        const std::size_t close = text.find("]:");
        if (close == std::string::npos) {
            return std::nullopt;
        }
        address.host = text.substr(1, close - 1);
        port = std::string_view(text).substr(close + 2);
    } else if (const std::size_t colon = text.find(':'); colon != std::string::npos) {
        address.host = text.substr(0, colon);
        port = std::string_view(text).substr(colon + 1);
    }
    if (address.host.empty() || !parse_port(port, address.port)) {
        return std::nullopt;
    }
    return address;
}

std::string tcp_link_target(const TcpAddress& address) {
    const bool v6 = address.host.find(':') != std::string::npos;
    return "tcp:" + (v6 ? "[" + address.host + "]" : address.host) + ":" +
           std::to_string(address.port);
}

std::optional<bool> socket_link_is_leftover(const std::string& target) {
    if (target.rfind("bt:", 0) == 0) {
        return false; // a Bluetooth printer: never one of ours
    }
    if (target.rfind("tcp:", 0) != 0) {
        return std::nullopt;
    }
    const auto address = parse_tcp_address(target.substr(4));
    if (!address || !is_loopback(address->host)) {
        return false;
    }
    return !something_listens_on(address->port);
}

int serve_tcp(const Options& options) {
    const sigset_t wait_mask = install_stop_signals();
    const auto wanted = parse_tcp_address(options.tcp);
    if (!wanted) {
        std::cerr << "tallyroll-vprinter: --tcp takes [ADDRESS:]PORT\n";
        return 2;
    }
    std::string error;
    TcpAddress address = *wanted;
    const int listener = open_listener(*wanted, address.port, &error);
    if (listener < 0) {
        std::cerr << "tallyroll-vprinter: " << error << '\n';
        return 1;
    }
    TcpLine line(listener, tcp_link_target(address));
    return serve_line(options, line, wait_mask);
}

} // namespace vprinter
