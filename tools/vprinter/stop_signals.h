// How the printer's serving loops learn that they should stop, shared by the
// pseudo-terminal and the TCP printer.
#pragma once

#include <csignal>
#include <cstdint>

namespace vprinter {

// Installs handlers for INT, TERM and HUP and holds those signals back; the
// answer is the mask to wait in (ppoll), where they are let through, so that
// one arriving between a check and the wait is not lost. SIGPIPE is ignored.
sigset_t install_stop_signals();

// A stop signal has arrived.
bool stop_requested();

// Microseconds on the monotonic clock.
std::int64_t monotonic_us();

} // namespace vprinter
