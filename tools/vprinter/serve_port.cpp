#include "tools/vprinter/serve_port.h"

#include "tools/vprinter/line_session.h"
#include "tools/vprinter/pty_port.h"
#include "tools/vprinter/stop_signals.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <iostream>
#include <memory>
#include <poll.h>
#include <span>
#include <unistd.h>

namespace vprinter {

namespace {

std::string describe_settings(const PortSettings& s) {
    std::string out = std::to_string(s.speed) + " baud, " + std::to_string(s.data_bits) +
                      " data bits, " + (s.two_stop_bits ? "2" : "1") + " stop bit(s)";
    out += s.ixoff ? ", XON/XOFF input" : "";
    out += s.ixon ? ", XON/XOFF output" : "";
    out += s.crtscts ? ", RTS/CTS" : "";
    out += s.raw ? ", raw" : ", not raw (line editing or output processing on)";
    return out;
}

// The printer keeps its end of the line at descriptor 600 + port: a number
// few programs hold, and different for printers on different ports, so that a
// link left by a printer that was killed is unlikely to lead anywhere even
// when its process number has been handed out again.
constexpr int kDescriptorBase = 600;

// A pseudo-terminal as the printer's line: a writer is a program that
// opens the device; the first bytes after an open come with the line
// settings it left.
class PtyLine final : public LineSource {
public:
    explicit PtyLine(std::unique_ptr<PtyPort> port) : port_(std::move(port)) {}

    std::string link_target() const override { return port_->link_path(); }
    std::string device() const override { return port_->device(); }
    std::string shown_target() const override {
        return port_->link_path() + " (" + port_->device() + ")";
    }

    std::size_t wait_set(std::span<pollfd, 2> fds, bool for_bytes) override {
        fds[0] = {port_->master(), static_cast<short>(for_bytes ? POLLIN : 0), 0};
        fds[1] = {port_->watch(), POLLIN, 0};
        return port_->watch() >= 0 ? 2 : 1;
    }

    void serve(std::span<const pollfd> /*fds*/, std::size_t allowed, LineEvents& events) override {
        const PtyPort::Activity activity = port_->take_activity();
        for (int i = 0; i < activity.opened; ++i) {
            events.writer_came();
            settings_pending_ = true;
        }
        while (allowed > 0) {
            const ssize_t n = ::read(port_->master(), buffer_, std::min(sizeof buffer_, allowed));
            if (n <= 0) {
                if (n < 0 && errno == EIO) {
                    // No writer and nobody holding the line: cannot happen while
                    // the port keeps its own end open, but never spin on it.
                    ::usleep(10000);
                }
                break;
            }
            const std::int64_t t = events.now();
            if (settings_pending_) {
                settings_pending_ = false;
                announce_settings(t, events);
            }
            allowed = events.bytes_arrived(t, std::span(buffer_, static_cast<std::size_t>(n)));
        }
        for (int i = 0; i < activity.closed; ++i) {
            events.writer_left();
        }
    }

    std::span<const std::uint8_t> read_now() override {
        const ssize_t n = ::read(port_->master(), buffer_, sizeof buffer_);
        return std::span(buffer_, n > 0 ? static_cast<std::size_t>(n) : 0);
    }

private:
    void announce_settings(std::int64_t t, LineEvents& events) const {
        const PortSettings s = port_->settings();
        JsonLine line("port_settings");
        line.number("t_us", t)
            .number("speed", s.speed)
            .number("data_bits", s.data_bits)
            .number("stop_bits", s.two_stop_bits ? 2 : 1)
            .flag("ixon", s.ixon)
            .flag("ixoff", s.ixoff)
            .flag("crtscts", s.crtscts)
            .flag("raw", s.raw);
        events.note(line, "line settings: " + describe_settings(s));
    }

    std::unique_ptr<PtyPort> port_;
    bool settings_pending_ = false;
    std::uint8_t buffer_[4096] = {};
};

} // namespace

int serve_port(const Options& options) {
    const sigset_t wait_mask = install_stop_signals();

    if (options.port < 1 || options.port > 9) {
        std::cerr << "tallyroll-vprinter: warning: Tallyroll's form lists COM1 to COM9 only; COM"
                  << options.port << " will not be offered there\n";
    }
    std::string error;
    std::unique_ptr<PtyPort> port = PtyPort::open(kDescriptorBase + options.port, &error);
    if (!port) {
        std::cerr << "tallyroll-vprinter: cannot open a pseudo-terminal: " << error << '\n';
        return 1;
    }
    PtyLine line(std::move(port));
    return serve_line(options, line, wait_mask);
}

} // namespace vprinter
