#include "platform/entry/console_services.h"

#include "platform/entry/shown_text.h"
#include "platform/kernel32/handle_table.h"
#include "platform/kernel32/pause_skip.h"
#include "platform/text/path_text.h"
#include "platform/text/unicode.h"
#include "platform/user32/dialogs/message_box_presenter.h"
#include "platform/win32/user.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace entry {
namespace {

using namespace std::chrono_literals;

// A job this short never shows its progress: the line would only flicker.
constexpr auto kProgressAfter = 500ms;

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

volatile std::sig_atomic_t g_stopSignal = 0;
// Written by the signal handler so that a wait on the port wakes at once.
int g_wake[2] = {-1, -1};
std::atomic<unsigned> g_messages{0};
std::atomic<bool> g_lineShown{false};
// What starts each message line: the program's name, or the spooler's
// keyword for the line's kind.
const char* g_linePrefix = "tallyroll: ";
const char* g_stoppedPrefix = "tallyroll: ";

const char* LinePrefix() {
    return g_stopSignal != 0 ? g_stoppedPrefix : g_linePrefix;
}

struct sigaction g_savedActions[std::size(kStopSignals)];
struct sigaction g_savedPipeAction;

extern "C" void OnStopSignal(int signal) {
    const int saved = errno;
    if (g_stopSignal == 0) {
        g_stopSignal = signal;
    }
    const char byte = 1;
    (void)!::write(g_wake[1], &byte, 1);
    errno = saved;
}

void WriteStandardError(const std::string& text) {
    (void)std::fwrite(text.data(), 1, text.size(), stderr);
    (void)std::fflush(stderr);
}

int PresentAsLine(HWND, LPCWSTR lpText, LPCWSTR, UINT) {
    EraseProgressLine();
    WriteStandardError(LinePrefix() + text::Utf16ToUtf8(lpText ? lpText : u"") + "\n");
    g_messages.fetch_add(1);
    return IDOK;
}

// "532 B", "12.3 KB", "4.1 MB".
std::string Amount(double bytes) {
    char buffer[32];
    if (bytes < 1024) {
        (void)std::snprintf(buffer, sizeof buffer, "%.0f B", bytes);
    } else if (bytes < 1024.0 * 1024) {
        (void)std::snprintf(buffer, sizeof buffer, "%.1f KB", bytes / 1024);
    } else {
        (void)std::snprintf(buffer, sizeof buffer, "%.1f MB", bytes / (1024.0 * 1024));
    }
    return buffer;
}

} // namespace

void EraseProgressLine() {
    if (g_lineShown.exchange(false)) {
        WriteStandardError("\r\033[K");
    }
}

ConsoleServices::ConsoleServices(const char* linePrefix, const char* stoppedPrefix) {
    g_linePrefix = linePrefix;
    g_stoppedPrefix = stoppedPrefix != nullptr ? stoppedPrefix : linePrefix;
    g_stopSignal = 0;
    if (::pipe2(g_wake, O_CLOEXEC | O_NONBLOCK) == -1) {
        g_wake[0] = g_wake[1] = -1;
    }
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a wait in progress should come back and look.
    for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
        ::sigaction(kStopSignals[i], &action, &g_savedActions[i]);
    }
    // A reader that went away makes a write fail, told as any failed write.
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGPIPE, &ignore, &g_savedPipeAction);
    SetMessageBoxPresenter(&PresentAsLine);
    kernel32::SetIoWaitWatcher(this);
}

ConsoleServices::~ConsoleServices() {
    EraseProgressLine();
    kernel32::SkipPauses(false);
    kernel32::SetIoWaitWatcher(nullptr);
    SetMessageBoxPresenter(nullptr);
    ::sigaction(SIGPIPE, &g_savedPipeAction, nullptr);
    for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
        ::sigaction(kStopSignals[i], &g_savedActions[i], nullptr);
    }
    for (int& fd : g_wake) {
        if (fd != -1) {
            ::close(fd);
            fd = -1;
        }
    }
}

int ConsoleServices::stopSignal() {
    return g_stopSignal;
}

void ConsoleServices::Complain(std::basic_string_view<WCHAR> message) {
    EraseProgressLine();
    // A complaint may quote an argument as it was typed: shown escaped.
    WriteStandardError(LinePrefix() + ShownText(text::Utf16ToUtf8(std::u16string(message))) + "\n");
}

unsigned ConsoleServices::MessagesShown() const {
    return g_messages.load();
}

HANDLE ConsoleServices::OpenOutput(const std::basic_string<WCHAR>& name) {
    int fd = -1;
    if (name == u"-") {
        // Printer commands on a terminal would garble it, as the program
        // never prints to its own terminal; they are meant for a file or a
        // pipe.
        if (::isatty(STDOUT_FILENO) == 1) {
            Complain(u"standard output is a terminal: redirect it to a file or a pipe");
            return INVALID_HANDLE_VALUE;
        }
        fd = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
    } else {
        const std::string path = text::PathToBytes(name);
        do {
            fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY, 0666);
        } while (fd == -1 && errno == EINTR);
    }
    if (fd == -1) {
        const std::string why = std::strerror(errno);
        Complain(u"cannot write to " + (name == u"-" ? u"standard output" : name) + u": " +
                 text::Utf8ToUtf16(why));
        return INVALID_HANDLE_VALUE;
    }
    // The bytes reach no printer: nothing needs the pause after the lead-in.
    kernel32::SkipPauses(true);
    auto object = std::make_shared<kernel32::OpenObject>(fd, kernel32::ObjectKind::File);
    object->label = name == u"-" ? u"standard output" : name;
    return kernel32::InsertObject(std::move(object));
}

void ConsoleServices::JobStarting(bool showProgress) {
    progressWanted_ = showProgress && ::isatty(STDERR_FILENO) == 1;
    jobStart_ = Clock::now();
    rateStarted_ = false;
}

void ConsoleServices::JobEnded() {
    EraseProgressLine();
    progressWanted_ = false;
}

int ConsoleServices::inputDescriptors(int (&fds)[2]) {
    if (g_wake[0] == -1) {
        return 0;
    }
    fds[0] = g_wake[0];
    return 1;
}

bool ConsoleServices::stillBusy(const kernel32::IoProgress& progress) {
    char drained[16];
    while (g_wake[0] != -1 && ::read(g_wake[0], drained, sizeof drained) > 0) {
    }
    if (g_stopSignal != 0) {
        EraseProgressLine();
        return true;
    }
    if (progressWanted_ && progress.activity == kernel32::IoProgress::Activity::Printing &&
        Clock::now() - jobStart_ >= kProgressAfter) {
        drawProgress(progress);
    }
    return false;
}

void ConsoleServices::drawProgress(const kernel32::IoProgress& progress) {
    const Clock::time_point now = Clock::now();
    if (!rateStarted_ || progress.total != rateTotal_ || progress.done < rateStartDone_) {
        rateStarted_ = true;
        rateStart_ = now;
        rateStartDone_ = progress.done;
        rateTotal_ = progress.total;
    }
    std::string line = "tallyroll: " + text::Utf16ToUtf8(std::u16string(progress.name)) + "  " +
                       Amount(static_cast<double>(progress.done));
    if (progress.total >= progress.done && progress.total > 0) {
        line += " of " + Amount(static_cast<double>(progress.total));
    }
    const double seconds = std::chrono::duration<double>(now - rateStart_).count();
    const double rate =
        seconds > 0.05 ? static_cast<double>(progress.done - rateStartDone_) / seconds : 0.0;
    if (rate > 0) {
        line += "  " + Amount(rate) + "/s";
        if (progress.total > progress.done) {
            char left[32];
            (void)std::snprintf(left, sizeof left, "  %.0f s left",
                                static_cast<double>(progress.total - progress.done) / rate + 0.5);
            line += left;
        }
    } else if (progress.done == rateStartDone_ && seconds > 1.0) {
        line += "  (the printer takes nothing; Ctrl+C cancels)";
    }
    WriteStandardError("\r\033[K" + line);
    g_lineShown.store(true);
}

} // namespace entry
