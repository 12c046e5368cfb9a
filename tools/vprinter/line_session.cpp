#include "tools/vprinter/line_session.h"

#include "tools/vprinter/device_link.h"
#include "tools/vprinter/line_pace.h"
#include "tools/vprinter/printer_session.h"
#include "tools/vprinter/stop_signals.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <time.h>

namespace vprinter {

namespace {

// The loop's side of a line: the clock, the pace and the silence that
// ends a job.
class LineLoop final : public LineEvents {
public:
    LineLoop(const Options& options, PrinterSession& session, std::int64_t start)
        : options_(options), session_(session), com_("COM" + std::to_string(options.port)),
          start_(start), pace_(options.baud) {}

    std::int64_t now() const override { return monotonic_us() - start_; }

    void writer_came() override {
        session_.announce(JsonLine("port_open").number("t_us", now()), com_ + " opened");
    }
    void writer_left() override {
        session_.announce(JsonLine("port_close").number("t_us", now()), com_ + " closed");
    }
    void note(const JsonLine& line, const std::string& text) override {
        session_.announce(line, text);
    }
    std::size_t bytes_arrived(std::int64_t t_us, std::span<const std::uint8_t> bytes) override {
        any_bytes_ = true;
        last_byte_ = t_us;
        session_.bytes_arrived(t_us, bytes);
        pace_.took(bytes.size());
        if (pace_.paced()) {
            allowed_ -= bytes.size();
            backlog_ = allowed_ == 0;
        }
        return allowed_;
    }

    void run(LineSource& line, const sigset_t& wait_mask);

private:
    // When the loop must wake without news from the line: the end of a job,
    // the idle limit or the pace's next step, whichever is first.
    std::optional<std::int64_t> deadline() const;
    // The job has ended, and the printer stops when the options say so.
    bool after_look();

    const Options& options_;
    PrinterSession& session_;
    const std::string com_;
    const std::int64_t start_;
    LinePace pace_;
    std::size_t allowed_ = 0;
    // A paced read took all the line allowed: more may be waiting, and the
    // next look comes a step later, whatever the line says meanwhile.
    bool backlog_ = false;
    bool any_bytes_ = false;
    std::int64_t last_byte_ = 0;
};

std::optional<std::int64_t> LineLoop::deadline() const {
    std::optional<std::int64_t> deadline;
    if (session_.job_running()) {
        deadline = last_byte_ + std::int64_t{options_.job_gap_ms} * 1000;
    }
    if (options_.idle_exit_ms > 0 && any_bytes_) {
        const std::int64_t idle_end = last_byte_ + std::int64_t{options_.idle_exit_ms} * 1000;
        deadline = deadline ? std::min(*deadline, idle_end) : idle_end;
    }
    if (backlog_) {
        const std::int64_t step = now() + LinePace::kStepUs;
        deadline = deadline ? std::min(*deadline, step) : step;
    }
    return deadline;
}

bool LineLoop::after_look() {
    const std::int64_t t = now();
    if (session_.job_running() && t - last_byte_ >= std::int64_t{options_.job_gap_ms} * 1000) {
        session_.end_job();
        if (options_.once) {
            return true;
        }
    }
    return options_.idle_exit_ms > 0 && any_bytes_ &&
           t - last_byte_ >= std::int64_t{options_.idle_exit_ms} * 1000;
}

void LineLoop::run(LineSource& line, const sigset_t& wait_mask) {
    while (!stop_requested()) {
        timespec timeout{};
        timespec* timeout_ptr = nullptr;
        if (const auto wake = deadline()) {
            const std::int64_t wait = std::max<std::int64_t>(0, *wake - now());
            timeout.tv_sec = static_cast<time_t>(wait / 1000000);
            timeout.tv_nsec = static_cast<long>((wait % 1000000) * 1000);
            timeout_ptr = &timeout;
        }
        pollfd fds[2] = {};
        const std::size_t count = line.wait_set(fds, !backlog_);
        if (ppoll(fds, count, timeout_ptr, &wait_mask) < 0 && errno != EINTR) {
            std::cerr << "tallyroll-vprinter: poll: " << std::strerror(errno) << '\n';
            break;
        }
        if (stop_requested()) {
            break;
        }
        allowed_ = pace_.allowance(monotonic_us());
        backlog_ = allowed_ == 0; // a slow line has not carried a whole byte yet
        line.serve(std::span<const pollfd>(fds, count), allowed_, *this);
        if (after_look()) {
            break;
        }
    }
    // Bytes that came in with the stop signal still belong to the roll.
    for (auto bytes = line.read_now(); !bytes.empty(); bytes = line.read_now()) {
        session_.bytes_arrived(now(), bytes);
    }
}

} // namespace

int serve_line(const Options& options, LineSource& line, const sigset_t& wait_mask) {
    std::string error;
    PrinterSession session(options);
    if (!session.open(&error)) {
        std::cerr << "tallyroll-vprinter: " << error << '\n';
        return 1;
    }
    const std::string table = options.devices.empty() ? default_device_table() : options.devices;
    const std::string target = line.link_target();
    std::string replaced;
    std::unique_ptr<DeviceLink> link =
        DeviceLink::create(table, options.port, target, &error, &replaced);
    if (!link) {
        std::cerr << "tallyroll-vprinter: " << error << '\n';
        return 1;
    }

    const std::int64_t start = monotonic_us();
    {
        JsonLine ready("ready");
        ready.number("port", options.port)
            .text("link", link->path())
            .text("device", line.device())
            .text("model", options.model ? command_set_name(*options.model) : "auto")
            .number("codepage", options.codepage);
        if (!replaced.empty()) {
            ready.text("replaced", replaced);
        }
        ready.text("target", target);
        std::string note = "COM" + std::to_string(options.port) + " is " + link->path() + " -> " +
                           line.shown_target() + "; waiting for print jobs (Ctrl+C stops)";
        if (!replaced.empty()) {
            note += "; replaced a stale link to " + replaced;
        }
        session.announce(ready, note);
    }

    LineLoop(options, session, start).run(line, wait_mask);
    line.hang_up();
    const bool picture = session.finish();
    link.reset();
    return picture ? 0 : 1;
}

} // namespace vprinter
