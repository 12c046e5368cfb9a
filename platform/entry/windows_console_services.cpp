#include "platform/entry/windows_console_services.h"

#include "platform/entry/module_import.h"

#include <atomic>
#include <cstdio>
#include <string>
#include <windows.h>

namespace entry {
namespace {

constexpr int kInterrupted = 128 + 2; // SIGINT's status on Linux
constexpr int kHungUp = 128 + 1;      // SIGHUP's: the console window was closed

std::atomic<int> g_stopStatus{0};
std::atomic<unsigned> g_messages{0};
HANDLE g_mainThread = nullptr;
void* g_systemMessageBox = nullptr;

std::string Utf8(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
    return bytes;
}

// text with each character a console would act on (the C0 and C1
// controls, DEL) written as \xHH, as the Linux build shows them. Unlike
// there, a backslash stays single: on Windows it is in every path.
std::wstring Shown(std::wstring_view text) {
    std::wstring shown;
    for (const wchar_t c : text) {
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) {
            wchar_t escaped[8];
            (void)std::swprintf(escaped, std::size(escaped), L"\\x%02x", static_cast<unsigned>(c));
            shown += escaped;
        } else {
            shown += c;
        }
    }
    return shown;
}

void WriteTo(DWORD which, std::wstring_view text) {
    HANDLE handle = GetStdHandle(which);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(handle, &mode)) {
        WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    // A file or a pipe gets the line ends of the system's own tools.
    std::wstring lines;
    for (const wchar_t c : text) {
        if (c == L'\n') {
            lines += L'\r';
        }
        lines += c;
    }
    const std::string bytes = Utf8(lines);
    WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// Stands in for the system's MessageBoxW while a command runs: the program's
// messages ("Unable to open COM5:, Error No.=2") become lines, as on Linux.
int WINAPI MessageBoxAsLine(HWND, LPCWSTR text, LPCWSTR, UINT) {
    WriteStandardError(L"tallyroll: " + std::wstring(text != nullptr ? text : L"") + L"\n");
    g_messages.fetch_add(1);
    return IDOK;
}

BOOL WINAPI OnConsoleEvent(DWORD event) {
    int status = 0;
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        status = kInterrupted;
        break;
    case CTRL_CLOSE_EVENT:
        status = kHungUp;
        break;
    default:
        return FALSE;
    }
    int none = 0;
    g_stopStatus.compare_exchange_strong(none, status);
    // The handler runs on a thread of its own: the main thread may be
    // waiting in a write to the port that the printer does not take.
    if (g_mainThread != nullptr) {
        CancelSynchronousIo(g_mainThread);
    }
    return TRUE;
}

std::wstring SystemMessage(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message =
        length > 0 ? std::wstring(text, length) : L"error " + std::to_wstring(error);
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                                message.back() == L'.' || message.back() == L' ')) {
        message.pop_back();
    }
    return message;
}

} // namespace

void WriteStandardError(std::wstring_view text) {
    WriteTo(STD_ERROR_HANDLE, text);
}

void WriteStandardOutput(std::wstring_view text) {
    WriteTo(STD_OUTPUT_HANDLE, text);
}

WindowsConsoleServices::WindowsConsoleServices() {
    g_stopStatus = 0;
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &g_mainThread, 0,
                    FALSE, DUPLICATE_SAME_ACCESS);
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
    g_systemMessageBox = ReplaceModuleImport("user32.dll", "MessageBoxW",
                                             reinterpret_cast<void*>(&MessageBoxAsLine));
}

WindowsConsoleServices::~WindowsConsoleServices() {
    if (g_systemMessageBox != nullptr) {
        ReplaceModuleImport("user32.dll", "MessageBoxW", g_systemMessageBox);
        g_systemMessageBox = nullptr;
    }
    SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
    if (g_mainThread != nullptr) {
        CloseHandle(g_mainThread);
        g_mainThread = nullptr;
    }
}

int WindowsConsoleServices::StopStatus() {
    return g_stopStatus.load();
}

void WindowsConsoleServices::Complain(std::basic_string_view<WCHAR> message) {
    // A complaint may quote an argument as it was typed: shown escaped.
    WriteStandardError(L"tallyroll: " + Shown(message) + L"\n");
}

unsigned WindowsConsoleServices::MessagesShown() const {
    return g_messages.load();
}

HANDLE WindowsConsoleServices::OpenOutput(const std::basic_string<WCHAR>& name) {
    HANDLE handle = INVALID_HANDLE_VALUE;
    if (name == L"-") {
        HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
        DWORD mode = 0;
        // Printer commands would garble a console, as on Linux a terminal.
        if (output != nullptr && output != INVALID_HANDLE_VALUE && GetConsoleMode(output, &mode)) {
            Complain(L"standard output is a terminal: redirect it to a file or a pipe");
            return INVALID_HANDLE_VALUE;
        }
        if (output == nullptr || !DuplicateHandle(GetCurrentProcess(), output, GetCurrentProcess(),
                                                  &handle, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
            handle = INVALID_HANDLE_VALUE;
            SetLastError(ERROR_INVALID_HANDLE);
        }
    } else {
        handle = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        Complain(L"cannot write to " + (name == L"-" ? std::wstring(L"standard output") : name) +
                 L": " + SystemMessage(error));
    }
    return handle;
}

} // namespace entry
