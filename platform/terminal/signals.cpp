#include "platform/terminal/signals.h"

#include "platform/terminal/terminal_owner.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstddef>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace terminal {
namespace {

constexpr std::array kStopSignals{SIGINT, SIGTERM, SIGHUP};
// SIGQUIT is the keyboard's "quit with core": it dies like a crash.
constexpr std::array kCrashSignals{SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGQUIT};
// Every other signal whose default is to end the process. Nothing in the
// program sends them to itself (its one timer has a real-time signal of its
// own), so when one comes the program is being ended: restore and go, as
// for a crash. One that was ignored when the program started stays ignored.
constexpr std::array kEndingSignals{SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF,
                                    SIGXCPU, SIGXFSZ, SIGSYS,  SIGTRAP};

// How long a stop may take to unwind. Unwinding draws and restores through
// ncurses, whose writes wait for the terminal: one that stopped reading (a
// frozen emulator, an SSH session whose buffer is full) would keep the
// process, and the printer's port with it, for ever.
constexpr long kStopDeadlineNs = 1'000'000'000;

volatile std::sig_atomic_t g_stop = 0;
volatile std::sig_atomic_t g_stopSignal = 0;
volatile std::sig_atomic_t g_resize = 0;
int g_wake[2] = {-1, -1};
bool g_installed = false;

// One timer per stop signal, made at install time (timer_create may not be
// called from a handler; timer_settime may). Armed by the first stop, it
// sends that signal again at the deadline, which is then a second request.
std::array<timer_t, kStopSignals.size()> g_deadline{};
std::array<bool, kStopSignals.size()> g_deadlineMade{};

struct Saved {
    int signal;
    struct sigaction action;
};
std::array<Saved, kStopSignals.size() + kCrashSignals.size() + kEndingSignals.size() + 2>
    g_previous{};
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

void ArmDeadline(int signal) {
    for (std::size_t i = 0; i < kStopSignals.size(); ++i) {
        if (kStopSignals[i] == signal && g_deadlineMade[i]) {
            itimerspec once{};
            once.it_value.tv_sec = kStopDeadlineNs / 1'000'000'000;
            once.it_value.tv_nsec = kStopDeadlineNs % 1'000'000'000;
            (void)timer_settime(g_deadline[i], 0, &once, nullptr);
        }
    }
}

void OnStop(int signal) {
    if (g_stop != 0) {
        // Asked twice, or the deadline came: the program did not get round to
        // stopping (it may be blocked on a device or on the terminal).
        // Restore what can be restored without waiting, and go.
        DieOf(signal);
        return;
    }
    g_stop = 1;
    g_stopSignal = signal;
    ArmDeadline(signal);
    Wake();
}

void OnResize(int) {
    g_resize = 1;
    Wake();
}

void OnCrash(int signal) {
    DieOf(signal);
}

// A write to a pipe or socket whose reader is gone raises SIGPIPE in the
// writer, sent by the kernel as from the process itself. The port layer
// wants that to be a failed write (EPIPE), as a Win32 program expects, not
// an end; a SIGPIPE sent from outside ends the program like the others.
void OnBrokenPipe(int signal, siginfo_t* info, void* /*context*/) {
    if (info != nullptr && info->si_code == SI_USER && info->si_pid == getpid()) {
        return;
    }
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

bool IgnoredNow(int signal) {
    struct sigaction current {};
    return sigaction(signal, nullptr, &current) == 0 && (current.sa_flags & SA_SIGINFO) == 0 &&
           current.sa_handler == SIG_IGN;
}

void InstallEnding(int signal) {
    if (IgnoredNow(signal)) {
        return;
    }
    if (signal != SIGPIPE) {
        Install(signal, OnCrash, SA_ONSTACK);
        return;
    }
    struct sigaction action {};
    action.sa_sigaction = OnBrokenPipe;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESTART;
    sigemptyset(&action.sa_mask);
    Saved& saved = g_previous[g_previousCount++];
    saved.signal = signal;
    sigaction(signal, &action, &saved.action);
}

void MakeDeadlines() {
    for (std::size_t i = 0; i < kStopSignals.size(); ++i) {
        sigevent event{};
        event.sigev_notify = SIGEV_SIGNAL;
        event.sigev_signo = kStopSignals[i];
        g_deadlineMade[i] = timer_create(CLOCK_MONOTONIC, &event, &g_deadline[i]) == 0;
    }
}

void DeleteDeadlines() {
    for (std::size_t i = 0; i < kStopSignals.size(); ++i) {
        if (g_deadlineMade[i]) {
            (void)timer_delete(g_deadline[i]);
            g_deadlineMade[i] = false;
        }
    }
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
    MakeDeadlines();
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
    for (int signal : kEndingSignals) {
        InstallEnding(signal);
    }
    InstallEnding(SIGPIPE);
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
    DeleteDeadlines();
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
