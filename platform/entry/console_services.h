// What the commands get of the process they run in when there is no screen:
// message boxes as lines on standard error, Ctrl+C and SIGTERM cancelling a
// write that waits on the port, a progress line on a terminal, and outputs
// that are not files in the Win32 sense (standard output, /dev/null).
#pragma once

#include "platform/entry/command_main.h"
#include "platform/kernel32/io_wait.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace entry {

class ConsoleServices final : public CommandServices, private kernel32::IoWaitWatcher {
public:
    // Installs the signal handlers, the message box presenter and the busy
    // watcher; the destructor takes them all back. Each message line starts
    // with linePrefix, or with stoppedPrefix (when given) once a signal asked
    // the process to end: the failure it causes is then no news. Both are
    // strings that outlive the services.
    explicit ConsoleServices(const char* linePrefix = "tallyroll: ",
                             const char* stoppedPrefix = nullptr);
    ~ConsoleServices() override;
    ConsoleServices(const ConsoleServices&) = delete;
    ConsoleServices& operator=(const ConsoleServices&) = delete;

    // The signal that asked the process to end, or 0.
    static int stopSignal();

    void Complain(std::basic_string_view<WCHAR> message) override;
    unsigned MessagesShown() const override;
    bool StopRequested() const override { return stopSignal() != 0; }
    HANDLE OpenOutput(const std::basic_string<WCHAR>& name) override;
    void JobStarting(bool showProgress) override;
    void JobEnded() override;

private:
    int inputDescriptors(int (&fds)[2]) override;
    bool stillBusy(const kernel32::IoProgress& progress) override;
    void drawProgress(const kernel32::IoProgress& progress);

    using Clock = std::chrono::steady_clock;
    bool progressWanted_ = false;
    Clock::time_point jobStart_{};
    // Where the rate is measured from: the first report of the current write.
    Clock::time_point rateStart_{};
    std::uint64_t rateStartDone_ = 0;
    std::uint64_t rateTotal_ = 0;
    bool rateStarted_ = false;
};

// Erases the progress line if one is shown, so that a message starts on a
// clean line.
void EraseProgressLine();

} // namespace entry
