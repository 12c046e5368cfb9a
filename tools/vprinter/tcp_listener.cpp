#include "tools/vprinter/tcp_listener.h"

#include "tools/vprinter/device_link.h"
#include "tools/vprinter/json_line.h"
#include "tools/vprinter/printer_session.h"
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
    sigset_t wait_mask = install_stop_signals();
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
    PrinterSession session(options);
    if (!session.open(&error)) {
        std::cerr << "tallyroll-vprinter: " << error << '\n';
        ::close(listener);
        return 1;
    }
    const std::string target = tcp_link_target(address);
    const std::string table = options.devices.empty() ? default_device_table() : options.devices;
    std::string replaced;
    std::unique_ptr<DeviceLink> link =
        DeviceLink::create(table, options.port, target, &error, &replaced);
    if (!link) {
        std::cerr << "tallyroll-vprinter: " << error << '\n';
        ::close(listener);
        return 1;
    }

    const std::string com = "COM" + std::to_string(options.port);
    const std::int64_t start = monotonic_us();
    auto now = [&] { return monotonic_us() - start; };
    {
        JsonLine ready("ready");
        ready.number("port", options.port)
            .text("link", link->path())
            .text("device", target.substr(4))
            .text("model", options.model ? command_set_name(*options.model) : "auto")
            .number("codepage", options.codepage);
        if (!replaced.empty()) {
            ready.text("replaced", replaced);
        }
        ready.text("target", target);
        std::string note = com + " is " + link->path() + " -> " + target +
                           "; waiting for print jobs (Ctrl+C stops)";
        if (!replaced.empty()) {
            note += "; replaced a stale link to " + replaced;
        }
        session.announce(ready, note);
    }

    int connection = -1;
    bool any_bytes = false;
    std::int64_t last_byte = 0;
    std::uint8_t buffer[4096];
    while (!stop_requested()) {
        std::optional<std::int64_t> deadline;
        if (session.job_running()) {
            deadline = last_byte + std::int64_t{options.job_gap_ms} * 1000;
        }
        if (options.idle_exit_ms > 0 && any_bytes) {
            const std::int64_t idle_end = last_byte + std::int64_t{options.idle_exit_ms} * 1000;
            deadline = deadline ? std::min(*deadline, idle_end) : idle_end;
        }
        timespec timeout{};
        timespec* timeout_ptr = nullptr;
        if (deadline) {
            const std::int64_t wait = std::max<std::int64_t>(0, *deadline - now());
            timeout.tv_sec = static_cast<time_t>(wait / 1000000);
            timeout.tv_nsec = static_cast<long>((wait % 1000000) * 1000);
            timeout_ptr = &timeout;
        }
        // One connection at a time: the next waits in the backlog, as at a
        // printer that serves one sender.
        pollfd ready{connection >= 0 ? connection : listener, POLLIN, 0};
        if (ppoll(&ready, 1, timeout_ptr, &wait_mask) < 0 && errno != EINTR) {
            std::cerr << "tallyroll-vprinter: poll: " << std::strerror(errno) << '\n';
            break;
        }
        if (stop_requested()) {
            break;
        }
        if (ready.revents != 0 && connection < 0) {
            connection = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection >= 0) {
                session.announce(JsonLine("port_open").number("t_us", now()), com + " opened");
            }
        } else if (ready.revents != 0) {
            const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
            if (n > 0) {
                any_bytes = true;
                last_byte = now();
                session.bytes_arrived(last_byte, std::span(buffer, static_cast<std::size_t>(n)));
            } else if (n == 0 || errno != EINTR) {
                ::close(connection);
                connection = -1;
                session.announce(JsonLine("port_close").number("t_us", now()), com + " closed");
            }
        }
        const std::int64_t t = now();
        if (session.job_running() && t - last_byte >= std::int64_t{options.job_gap_ms} * 1000) {
            session.end_job();
            if (options.once) {
                break;
            }
        }
        if (options.idle_exit_ms > 0 && any_bytes &&
            t - last_byte >= std::int64_t{options.idle_exit_ms} * 1000) {
            break;
        }
    }

    // Bytes that came in with the stop signal still belong to the roll.
    while (connection >= 0) {
        const ssize_t n = ::recv(connection, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n <= 0) {
            break;
        }
        session.bytes_arrived(now(), std::span(buffer, static_cast<std::size_t>(n)));
    }
    if (connection >= 0) {
        ::close(connection);
    }
    ::close(listener);
    const bool picture = session.finish();
    link.reset();
    return picture ? 0 : 1;
}

} // namespace vprinter
