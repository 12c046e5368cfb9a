#include "platform/terminal/terminal_owner.h"

#include "platform/terminal/ncurses_wide.h"
#include "platform/terminal/signals.h"

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <langinfo.h>
#include <poll.h>
#include <string>
#include <strings.h>
#include <term.h> // setupterm: to ask about a terminal before ncurses starts on it
#include <termios.h>
#include <unistd.h>

// Present only when a sanitizer's run-time is linked: it lets us restore the
// terminal before the sanitizer ends the process after a report, which it
// does without running exit handlers.
extern "C" void __sanitizer_set_death_callback(void (*callback)()) __attribute__((weak));

namespace terminal {
namespace {

constexpr int kTerminalFd = STDOUT_FILENO;

volatile std::sig_atomic_t g_active = 0;
SCREEN* g_screen = nullptr;
struct termios g_saved {};
bool g_exitHookRegistered = false;

// What undoes our modes on a terminal that ncurses can no longer be asked to
// restore, composed while it still can be. Fixed storage: the crash path may
// not allocate.
char g_reset[512];
std::size_t g_resetLength = 0;

// Bracketed paste: the terminal marks pasted text, so that a paste is typed
// text and never a key that presses a button. Terminals that do not know the
// mode ignore it.
constexpr char kPasteMarksOn[] = "\033[?2004h";
constexpr char kPasteMarksOff[] = "\033[?2004l";

// The terminal opened a second time, non-blocking, for the signal path: a
// terminal that stopped reading must not keep a dying process. A descriptor
// of our own, so that the shell's (shared with standard output) never
// changes mode. -1 when the terminal could not be opened again.
int g_restoreFd = -1;
// How long the signal path waits for a terminal that has no room for the
// reset: long enough for one that reads slowly, short enough to be no wait.
constexpr long kRestoreWaitMs = 100;

// terminfo strings may carry padding, "$<5>", which is for ncurses' output
// routine and not for the terminal.
std::string WithoutPadding(const char* capability) {
    std::string out;
    for (const char* p = capability; *p != '\0'; ++p) {
        if (p[0] == '$' && p[1] == '<') {
            const char* end = std::strchr(p, '>');
            if (end != nullptr) {
                p = end;
                continue;
            }
        }
        out += *p;
    }
    return out;
}

std::string Capability(const char* name) {
    char* value = tigetstr(name);
    if (value == nullptr || value == reinterpret_cast<char*>(-1)) {
        return {};
    }
    return WithoutPadding(value);
}

void ComposeResetSequence(bool mouse) {
    std::string reset;
    if (mouse) {
        // Every xterm mouse mode ncurses may have chosen, off.
        reset += "\033[?1006l\033[?1003l\033[?1002l\033[?1000l";
    }
    reset += kPasteMarksOff;
    reset += Capability("sgr0");
    reset += Capability("op");
    reset += Capability("cnorm");
    reset += Capability("rmkx");
    reset += Capability("rmcup");
    reset += "\r\n";
    g_resetLength = std::min(reset.size(), sizeof g_reset);
    std::memcpy(g_reset, reset.data(), g_resetLength);
}

bool LocaleIsUtf8() {
    const char* codeset = nl_langinfo(CODESET);
    return codeset != nullptr &&
           (strcasecmp(codeset, "UTF-8") == 0 || strcasecmp(codeset, "UTF8") == 0);
}

// A stop signal ends the program the way the signal would have (status
// 128+n in a shell), once the program has unwound and the terminal is back.
void StopAtExit() {
    StopTerminal();
    if (const int signal = StopSignal(); signal != 0) {
        (void)std::signal(signal, SIG_DFL);
        (void)std::raise(signal);
    }
}

// Keys arrive as the locale's codeset encodes them. A C or POSIX locale, or
// one that is not installed, would lose every character beyond ASCII; the
// terminals such a locale runs in today speak UTF-8, so read them as that.
void ChooseLocale() {
    const char* chosen = std::setlocale(LC_ALL, "");
    const char* codeset = nl_langinfo(CODESET);
    const bool plainAscii = codeset == nullptr || std::strcmp(codeset, "ANSI_X3.4-1968") == 0 ||
                            std::strcmp(codeset, "ASCII") == 0;
    if (chosen == nullptr || plainAscii) {
        if (std::setlocale(LC_CTYPE, "C.UTF-8") == nullptr) {
            (void)std::setlocale(LC_CTYPE, "C.utf8");
        }
    }
}

int OpenTerminalWithoutWaiting() {
    char path[256];
    if (ttyname_r(kTerminalFd, path, sizeof path) != 0) {
        return -1;
    }
    return open(path, O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
}

long MillisecondsSince(const timespec& start) {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (now.tv_sec - start.tv_sec) * 1000 + (now.tv_nsec - start.tv_nsec) / 1'000'000;
}

// Writes bytes to the terminal without ever blocking: what the terminal has
// no room for within a short wait is left unwritten. Async-signal-safe.
void WriteWithoutWaiting(const char* bytes, std::size_t length) {
    int fd = g_restoreFd;
    int savedFlags = -1;
    if (fd < 0) {
        // No descriptor of our own: make the shared one non-blocking for
        // the moment of the write.
        fd = kTerminalFd;
        savedFlags = fcntl(fd, F_GETFL);
        if (savedFlags < 0 || fcntl(fd, F_SETFL, savedFlags | O_NONBLOCK) != 0) {
            return;
        }
    }
    timespec start{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    std::size_t written = 0;
    while (written < length) {
        const ssize_t n = write(fd, bytes + written, length - written);
        if (n > 0) {
            written += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        const long left = kRestoreWaitMs - MillisecondsSince(start);
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK) || left <= 0) {
            break;
        }
        pollfd room{fd, POLLOUT, 0};
        (void)poll(&room, 1, static_cast<int>(left));
    }
    if (savedFlags >= 0) {
        (void)fcntl(fd, F_SETFL, savedFlags);
    }
}

bool CanMoveCursor() {
    const char* move = tigetstr("cup");
    return move != nullptr && move != reinterpret_cast<char*>(-1);
}

bool StartColours() {
    if (!has_colors() || start_color() == ERR) {
        return false;
    }
    return COLORS >= 8 && COLOR_PAIRS >= 16;
}

bool StartMouse() {
    const mmask_t wanted = BUTTON1_PRESSED | BUTTON1_RELEASED | BUTTON4_PRESSED | BUTTON5_PRESSED;
    if (mousemask(wanted, nullptr) == 0) {
        return false;
    }
    // Presses and releases as they come: no waiting to fold them into clicks.
    mouseinterval(0);
    return true;
}

} // namespace

TerminalStart StartTerminal(TerminalFeatures& features) {
    if (g_active != 0) {
        return TerminalStart::Started;
    }
    if (isatty(STDIN_FILENO) == 0 || isatty(kTerminalFd) == 0) {
        return TerminalStart::NotATerminal;
    }
    ChooseLocale();
    if (tcgetattr(kTerminalFd, &g_saved) != 0) {
        return TerminalStart::NotATerminal;
    }
    // Asked before ncurses starts, so that nothing is sent to a terminal
    // that cannot be used.
    int status = 0;
    if (setupterm(nullptr, kTerminalFd, &status) != OK) {
        return TerminalStart::UnknownTerminal;
    }
    const bool canMove = CanMoveCursor();
    del_curterm(cur_term);
    if (!canMove) {
        return TerminalStart::CannotMoveCursor;
    }
    if (!InstallSignalHandlers()) {
        return TerminalStart::NotATerminal;
    }
    g_screen = newterm(nullptr, stdout, stdin);
    if (g_screen == nullptr) {
        RemoveSignalHandlers();
        return TerminalStart::UnknownTerminal;
    }
    if (g_restoreFd < 0) {
        g_restoreFd = OpenTerminalWithoutWaiting();
    }
    // From here on a crash must restore.
    g_active = 1;
    if (!g_exitHookRegistered) {
        g_exitHookRegistered = true;
        (void)std::atexit(StopAtExit);
        if (__sanitizer_set_death_callback != nullptr) {
            __sanitizer_set_death_callback(RestoreTerminalFromSignal);
        }
    }

    // Raw: Ctrl+C, Ctrl+S and Ctrl+Z arrive as keys; Ctrl+C is then the
    // user's own way to ask for a stop, handled as an event.
    raw();
    noecho();
    nonl();
    keypad(stdscr, TRUE);
    nodelay(stdscr, TRUE);
    // Long enough for an escape sequence to arrive whole, short enough that
    // Esc itself feels immediate.
    set_escdelay(25);

    features.utf8 = LocaleIsUtf8();
    features.colour = StartColours();
    features.mouse = StartMouse();
    ComposeResetSequence(features.mouse);
    WriteWithoutWaiting(kPasteMarksOn, sizeof kPasteMarksOn - 1);
    return TerminalStart::Started;
}

void StopTerminal() noexcept {
    if (g_active == 0) {
        return;
    }
    endwin();
    WriteWithoutWaiting(kPasteMarksOff, sizeof kPasteMarksOff - 1);
    // ncurses restores what it saved at start; we put back exactly what we
    // found, in case the two differ. At once: waiting for the output to
    // drain would wait for ever on a terminal that stopped reading.
    tcsetattr(kTerminalFd, TCSANOW, &g_saved);
    g_active = 0;
    delscreen(g_screen);
    g_screen = nullptr;
    RemoveSignalHandlers();
}

void RestoreTerminalFromSignal() noexcept {
    if (g_active == 0) {
        return;
    }
    g_active = 0;
    WriteWithoutWaiting(g_reset, g_resetLength);
    // The settings apply whatever the terminal does with its output.
    tcsetattr(kTerminalFd, TCSANOW, &g_saved);
}

bool TerminalActive() noexcept {
    return g_active != 0;
}

} // namespace terminal
