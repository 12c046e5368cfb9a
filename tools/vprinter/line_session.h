// One printer session over a line of any kind: the loop that waits for
// bytes, hands them to the PrinterSession, ends jobs on silence and stops
// as the options say. What differs between a pseudo-terminal and a TCP
// port (what to wait on, how writers come and go, how bytes are read) sits
// behind LineSource.
#pragma once

#include "tools/vprinter/json_line.h"
#include "tools/vprinter/options.h"

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <poll.h>
#include <span>
#include <string>

namespace vprinter {

// What a line reports to the session while it is served.
class LineEvents {
public:
    virtual ~LineEvents() = default;

    // Microseconds since the printer started.
    virtual std::int64_t now() const = 0;
    // A writer opened the port (a program opened the device, a sender connected).
    virtual void writer_came() = 0;
    // A writer closed it.
    virtual void writer_left() = 0;
    // A line in the event log with a note on the roll.
    virtual void note(const JsonLine& line, const std::string& text) = 0;
    // Bytes that arrived at t_us; answers how many more the line's pace
    // lets this look take.
    virtual std::size_t bytes_arrived(std::int64_t t_us, std::span<const std::uint8_t> bytes) = 0;
};

// The printer's end of a line.
class LineSource {
public:
    virtual ~LineSource() = default;

    // What COMn links to; the `ready` event's device; how the roll's first
    // note shows where the link leads.
    virtual std::string link_target() const = 0;
    virtual std::string device() const = 0;
    virtual std::string shown_target() const = 0;

    // Fills the descriptors the next wait watches and answers how many.
    // `for_bytes` is false while the line's pace owes no byte yet: only
    // writers coming and going are watched then.
    virtual std::size_t wait_set(std::span<pollfd, 2> fds, bool for_bytes) = 0;
    // After a wait, with what it answered: reports writers that came, the
    // bytes that are there (no more than `allowed`), and writers that left,
    // in the order a writer does them.
    virtual void serve(std::span<const pollfd> fds, std::size_t allowed, LineEvents& events) = 0;
    // Bytes that are there now, without waiting; empty when there are none.
    virtual std::span<const std::uint8_t> read_now() = 0;
    // The printer stops: it takes no more writers.
    virtual void hang_up() {}
};

// Links COMn to the line, announces it and serves it until a stop signal
// (let through in `wait_mask`) or, with --once or --idle-exit, until the
// line has gone quiet; then finishes the roll. Returns the exit status.
int serve_line(const Options& options, LineSource& line, const sigset_t& wait_mask);

} // namespace vprinter
