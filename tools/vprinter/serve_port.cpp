#include "tools/vprinter/serve_port.h"

#include "tools/vprinter/device_link.h"
#include "tools/vprinter/line_pace.h"
#include "tools/vprinter/printer_session.h"
#include "tools/vprinter/pty_port.h"
#include "tools/vprinter/stop_signals.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <optional>
#include <poll.h>
#include <signal.h>
#include <time.h>
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

} // namespace

int serve_port(const Options& options) {
    sigset_t wait_mask = install_stop_signals();

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
    PrinterSession session(options);
    if (!session.open(&error)) {
        std::cerr << "tallyroll-vprinter: " << error << '\n';
        return 1;
    }
    std::string table = options.devices.empty() ? default_device_table() : options.devices;
    std::string replaced;
    std::unique_ptr<DeviceLink> link =
        DeviceLink::create(table, options.port, port->link_path(), &error, &replaced);
    if (!link) {
        std::cerr << "tallyroll-vprinter: " << error << '\n';
        return 1;
    }

    const std::string com = "COM" + std::to_string(options.port);
    const std::int64_t start = monotonic_us();
    auto now = [&] { return monotonic_us() - start; };
    {
        JsonLine ready("ready");
        ready.number("port", options.port)
            .text("link", link->path())
            .text("device", port->device())
            .text("model", options.model ? command_set_name(*options.model) : "auto")
            .number("codepage", options.codepage);
        if (!replaced.empty()) {
            ready.text("replaced", replaced);
        }
        ready.text("target", port->link_path());
        std::string note = com + " is " + link->path() + " -> " + port->link_path() + " (" +
                           port->device() + "); waiting for print jobs (Ctrl+C stops)";
        if (!replaced.empty()) {
            note += "; replaced a stale link to " + replaced;
        }
        session.announce(ready, note);
    }

    bool settings_pending = false;
    bool any_bytes = false;
    std::int64_t last_byte = 0;
    std::uint8_t buffer[4096];
    LinePace pace(options.baud);
    // A paced read took all the line allowed: more may be waiting, and the
    // next look comes a step later, whatever the line says meanwhile.
    bool backlog = false;

    while (!stop_requested()) {
        // Wake for the end of a job or the idle limit, whichever is first.
        std::optional<std::int64_t> deadline;
        if (session.job_running()) {
            deadline = last_byte + std::int64_t{options.job_gap_ms} * 1000;
        }
        if (options.idle_exit_ms > 0 && any_bytes) {
            std::int64_t idle_end = last_byte + std::int64_t{options.idle_exit_ms} * 1000;
            deadline = deadline ? std::min(*deadline, idle_end) : idle_end;
        }
        if (backlog) {
            const std::int64_t step = now() + LinePace::kStepUs;
            deadline = deadline ? std::min(*deadline, step) : step;
        }
        timespec timeout{};
        timespec* timeout_ptr = nullptr;
        if (deadline) {
            std::int64_t wait = std::max<std::int64_t>(0, *deadline - now());
            timeout.tv_sec = static_cast<time_t>(wait / 1000000);
            timeout.tv_nsec = static_cast<long>((wait % 1000000) * 1000);
            timeout_ptr = &timeout;
        }
        pollfd fds[2] = {{port->master(), static_cast<short>(backlog ? 0 : POLLIN), 0},
                         {port->watch(), POLLIN, 0}};
        int ready = ppoll(fds, port->watch() >= 0 ? 2 : 1, timeout_ptr, &wait_mask);
        if (ready < 0 && errno != EINTR) {
            std::cerr << "tallyroll-vprinter: poll: " << std::strerror(errno) << '\n';
            break;
        }
        if (stop_requested()) {
            break;
        }

        // Opens first, then the bytes, then closes: the order a writer did them.
        PtyPort::Activity activity = port->take_activity();
        for (int i = 0; i < activity.opened; ++i) {
            session.announce(JsonLine("port_open").number("t_us", now()), com + " opened");
            settings_pending = true;
        }
        std::size_t allowed = pace.allowance(monotonic_us());
        backlog = allowed == 0; // a slow line has not carried a whole byte yet
        while (allowed > 0) {
            const std::size_t wanted = std::min(sizeof buffer, allowed);
            ssize_t n = ::read(port->master(), buffer, wanted);
            if (n <= 0) {
                if (n < 0 && errno == EIO) {
                    // No writer and nobody holding the line: cannot happen while
                    // the port keeps its own end open, but never spin on it.
                    ::usleep(10000);
                }
                break;
            }
            std::int64_t t = now();
            if (settings_pending) {
                settings_pending = false;
                PortSettings s = port->settings();
                JsonLine line("port_settings");
                line.number("t_us", t)
                    .number("speed", s.speed)
                    .number("data_bits", s.data_bits)
                    .number("stop_bits", s.two_stop_bits ? 2 : 1)
                    .flag("ixon", s.ixon)
                    .flag("ixoff", s.ixoff)
                    .flag("crtscts", s.crtscts)
                    .flag("raw", s.raw);
                session.announce(line, "line settings: " + describe_settings(s));
            }
            any_bytes = true;
            last_byte = t;
            session.bytes_arrived(t, std::span(buffer, static_cast<std::size_t>(n)));
            pace.took(static_cast<std::size_t>(n));
            if (pace.paced()) {
                allowed -= static_cast<std::size_t>(n);
                backlog = allowed == 0;
            }
        }
        for (int i = 0; i < activity.closed; ++i) {
            session.announce(JsonLine("port_close").number("t_us", now()), com + " closed");
        }

        std::int64_t t = now();
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
    for (;;) {
        ssize_t n = ::read(port->master(), buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        session.bytes_arrived(now(), std::span(buffer, static_cast<std::size_t>(n)));
    }
    bool picture = session.finish();
    link.reset();
    return picture ? 0 : 1;
}

} // namespace vprinter
