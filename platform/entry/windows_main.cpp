// Windows only. The process entry of both Windows programs, the windowed
// tallyroll.exe and its console companion tallyroll.com: the C run-time
// calls wmain, which runs a command when the first argument names one and
// otherwise hands the program its four start values, as the run-time's own
// wmain would. The companion exists because a shell waits for a console
// program and not for a windowed one: only then do the exit status and the
// output reach the shell in order (docs/windows.md).
#include "platform/entry/command_main.h"
#include "platform/entry/module_import.h"
#include "platform/entry/win_main.h"
#include "platform/entry/windows_console.h"
#include "platform/entry/windows_console_services.h"
#include "platform/entry/windows_port_commands.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>
#include <windows.h>

namespace {

constexpr std::wstring_view kVersion = L"tallyroll " TEXT(TALLYROLL_VERSION) L"\n";

constexpr std::wstring_view kUsage =
    L"Usage: tallyroll            show the form\n"
    L"       tallyroll --help     what it does, ports\n"
    L"       tallyroll --version  its version\n"
    L"       tallyroll print [OPTIONS] [FILE...]   print files or standard input\n"
    L"       tallyroll test | ports\n"
    L"                            (each with --help)\n";

constexpr std::wstring_view kAbout =
    L"\n"
    L"Tallyroll prints plain text on a small portable printer over a serial port.\n"
    L"Type text or load a file with \"...\", pick the printer model, the COM port\n"
    L"and a character format, and press Print; Test sends a test page.\n"
    L"\n"
    L"Ports: \"COMn:\" is the system's serial port of that number (Device Manager,\n"
    L"Ports (COM & LPT)); the form and the commands offer COM1 to COM9.\n";

int Answer(std::wstring_view text) {
    entry::WriteStandardOutput(text);
    return 0;
}

int Unexpected(std::wstring_view argument) {
    entry::WriteStandardError(L"tallyroll: unexpected argument \"" + std::wstring(argument) +
                              L"\"\n" + std::wstring(kUsage));
    return 2;
}

int RunJobCommand(const std::vector<std::wstring>& args) {
    entry::ReadStandardInputAsBytes();
    entry::WindowsConsoleServices services;
    const int status = TallyrollCommand(args, services);
    if (const int stopped = entry::WindowsConsoleServices::StopStatus(); stopped != 0) {
        return stopped;
    }
    return status;
}

// Answers the exit status when args name a command or an option; nothing
// when the form is to be shown.
std::optional<int> RunCommand(const std::vector<std::wstring>& args) {
    if (args.empty()) {
        return std::nullopt;
    }
    const std::wstring_view first = args[0];
    const bool command = first == L"print" || first == L"test" || first == L"ports" ||
                         first == L"link" || first == L"unlink";
    const bool option = first == L"--help" || first == L"-h" || first == L"--version";
    // The windowed program shown from Explorer or a shortcut with something
    // else on its command line shows its form, as it always has.
    if (!command && !option && !entry::StartedAsConsoleProgram()) {
        return std::nullopt;
    }
    entry::PrepareStandardStreams();
    if (first == L"print" || first == L"test") {
        return RunJobCommand(args);
    }
    if (command) {
        return entry::RunPortCommand(args);
    }
    if (args.size() == 1 && first == L"--version") {
        return Answer(kVersion);
    }
    if (args.size() == 1 && option) {
        return Answer(std::wstring(kUsage) + std::wstring(kAbout));
    }
    return Unexpected(option ? args[1] : args[0]);
}

// What follows the program's name on the command line, as the run-time
// hands it to wWinMain.
LPWSTR CommandTail() {
    LPWSTR at = GetCommandLineW();
    bool quoted = false;
    for (; *at != L'\0' && (quoted || (*at != L' ' && *at != L'\t')); ++at) {
        if (*at == L'"') {
            quoted = !quoted;
        }
    }
    while (*at == L' ' || *at == L'\t') {
        ++at;
    }
    return at;
}

int ShowCommand() {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    return (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : SW_SHOWDEFAULT;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const std::vector<std::wstring> args(argv + std::min(argc, 1), argv + argc);
    if (const std::optional<int> status = RunCommand(args)) {
        return *status;
    }
    return wWinMain(GetModuleHandleW(nullptr), nullptr, CommandTail(), ShowCommand());
}
