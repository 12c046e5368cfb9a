// Windows only. What the commands get of the process on Windows: the
// program's message boxes as lines on standard error, Ctrl+C cancelling a
// write that waits on the port, and standard output or a file in place of
// the port. Windows shows no progress line: the system's writes report none.
#pragma once

#include "platform/entry/command_main.h"

namespace entry {

class WindowsConsoleServices final : public CommandServices {
public:
    // Takes over the message boxes and the console's Ctrl+C until destroyed.
    WindowsConsoleServices();
    ~WindowsConsoleServices() override;
    WindowsConsoleServices(const WindowsConsoleServices&) = delete;
    WindowsConsoleServices& operator=(const WindowsConsoleServices&) = delete;

    // The exit status a stop asks for, as the Linux build answers the same
    // stop (128 + its signal: 130 for Ctrl+C), or 0 when nothing asked.
    static int StopStatus();

    void Complain(std::basic_string_view<WCHAR> message) override;
    unsigned MessagesShown() const override;
    bool StopRequested() const override { return StopStatus() != 0; }
    HANDLE OpenOutput(const std::basic_string<WCHAR>& name) override;
    void JobStarting(bool) override {}
    void JobEnded() override {}
};

// Writes text to standard error (or output): wide to a console, so that any
// script shows, and as UTF-8 to a file or a pipe, as the Linux build does.
void WriteStandardError(std::wstring_view text);
void WriteStandardOutput(std::wstring_view text);

} // namespace entry
