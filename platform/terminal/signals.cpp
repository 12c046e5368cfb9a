#include "platform/terminal/signals.h"

#include "platform/terminal/terminal_owner.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstddef>
#include <fcntl.h>
#include <unistd.h>

namespace terminal {
namespace {

constexpr std::array kStopSignals{SIGINT, SIGTERM, SIGHUP};
// SIGQUIT is the keyboard's "quit with core": it dies like a crash.
constexpr std::array kCrashSignals{SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGQUIT};

volatile std::sig_atomic_t g_stop = 0;
volatile std::sig_atomic_t g_stopSignal = 0;
volatile std::sig_atomic_t g_resize = 0;
int g_wake[2] = {-1, -1};
bool g_installed = false;

struct Saved {
    int signal;
    struct sigaction action;
};
std::array<Saved, kStopSignals.size() + kCrashSignals.size() + 1> g_previous{};
std::size_t g_previousCount = 0;

// A crash may be a stack overflow; the handler then needs a stack of its own.
alignas(16) char g_altStack[64 * 1024];

void Wake() {
    const int saved = errno;
    if (g_wake[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = write(g_wake[1], &byte, 1);
    }
    errno = saved;
}

const struct sigaction* PreviousFor(int signal) {
    for (std::size_t i = 0; i < g_previousCount; ++i) {
        if (g_previous[i].signal == signal) {
            return &g_previous[i].action;
        }
    }
    return nullptr;
}

// Restores the terminal, puts the previous disposition back and raises the
// signal again, so the process ends exactly as it would have without us
// (core dump, sanitizer report, parent sees the signal).
void DieOf(int signal) {
    RestoreTerminalFromSignal();
    struct sigaction action {};
    if (const struct sigaction* previous = PreviousFor(signal);
        previous != nullptr && previous->sa_handler != SIG_IGN) {
        action = *previous;
    } else {
        action.sa_handler = SIG_DFL;
        sigemptyset(&action.sa_mask);
    }
    sigaction(signal, &action, nullptr);
    // The signal stays blocked until this handler returns; a fault then
    // repeats at the same instruction, a sent signal is delivered.
    (void)raise(signal);
}

void OnStop(int signal) {
    if (g_stop != 0) {
        // Asked twice: the program did not get round to stopping (it may be
        // blocked on a device). Restore the terminal and go.
        DieOf(signal);
        return;
    }
    g_stop = 1;
    g_stopSignal = signal;
    Wake();
}

void OnResize(int) {
    g_resize = 1;
    Wake();
}

void OnCrash(int signal) {
    DieOf(signal);
}

void Install(int signal, void (*handler)(int), int flags) {
    struct sigaction action {};
    action.sa_handler = handler;
    action.sa_flags = flags;
    sigemptyset(&action.sa_mask);
    Saved& saved = g_previous[g_previousCount++];
    saved.signal = signal;
    sigaction(signal, &action, &saved.action);
}

void MakeAltStackIfNone() {
    stack_t current{};
    if (sigaltstack(nullptr, &current) == 0 && (current.ss_flags & SS_DISABLE) != 0) {
        stack_t mine{};
        mine.ss_sp = g_altStack;
        mine.ss_size = sizeof g_altStack;
        sigaltstack(&mine, nullptr);
    }
}

} // namespace

bool InstallSignalHandlers() {
    if (g_installed) {
        return true;
    }
    if (pipe2(g_wake, O_NONBLOCK | O_CLOEXEC) != 0) {
        g_wake[0] = g_wake[1] = -1;
        return false;
    }
    MakeAltStackIfNone();
    g_previousCount = 0;
    // SA_RESTART keeps other code's blocking calls going; the front end waits
    // in poll, which a handler always interrupts, and on the wake-up pipe.
    for (int signal : kStopSignals) {
        Install(signal, OnStop, SA_RESTART);
    }
    Install(SIGWINCH, OnResize, SA_RESTART);
    for (int signal : kCrashSignals) {
        Install(signal, OnCrash, SA_ONSTACK);
    }
    g_installed = true;
    return true;
}

void RemoveSignalHandlers() {
    if (!g_installed) {
        return;
    }
    for (std::size_t i = 0; i < g_previousCount; ++i) {
        sigaction(g_previous[i].signal, &g_previous[i].action, nullptr);
    }
    g_previousCount = 0;
    close(g_wake[0]);
    close(g_wake[1]);
    g_wake[0] = g_wake[1] = -1;
    g_installed = false;
}

bool StopRequested() {
    return g_stop != 0;
}

int StopSignal() {
    return g_stopSignal;
}

void RequestStop() {
    g_stop = 1;
}

bool TakeResize() {
    if (g_resize == 0) {
        return false;
    }
    g_resize = 0;
    return true;
}

int WakeFd() {
    return g_wake[0];
}

void DrainWake() {
    char buffer[64];
    while (g_wake[0] >= 0 && read(g_wake[0], buffer, sizeof buffer) > 0) {
    }
}

} // namespace terminal
