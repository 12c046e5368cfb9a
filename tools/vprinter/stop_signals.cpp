#include "tools/vprinter/stop_signals.h"

#include <initializer_list>
#include <signal.h>
#include <time.h>

namespace vprinter {
namespace {

volatile std::sig_atomic_t g_stop = 0;

extern "C" void request_stop(int) {
    g_stop = 1;
}

} // namespace

sigset_t install_stop_signals() {
    struct sigaction action {};
    action.sa_handler = request_stop;
    sigemptyset(&action.sa_mask);
    sigset_t stops;
    sigemptyset(&stops);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(sig, &action, nullptr);
        sigaddset(&stops, sig);
    }
    (void)std::signal(SIGPIPE, SIG_IGN);
    sigset_t previous;
    sigprocmask(SIG_BLOCK, &stops, &previous);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        sigdelset(&previous, sig);
    }
    return previous;
}

bool stop_requested() {
    return g_stop != 0;
}

std::int64_t monotonic_us() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

} // namespace vprinter
