#include "platform/entry/windows_console.h"

#include "platform/entry/module_import.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace entry {
namespace {

bool Usable(DWORD which) {
    HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

void TakeConsoleFor(DWORD which, const wchar_t* device, DWORD access, std::FILE* stream,
                    const char* mode) {
    HANDLE handle = CreateFileW(device, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return;
    }
    SetStdHandle(which, handle);
    // The C run-time's stream was set up at start, when there was nothing.
    (void)std::freopen(which == STD_INPUT_HANDLE ? "CONIN$" : "CONOUT$", mode, stream);
}

} // namespace

void PrepareStandardStreams() {
    if (StartedAsConsoleProgram()) {
        return;
    }
    const bool input = Usable(STD_INPUT_HANDLE);
    const bool output = Usable(STD_OUTPUT_HANDLE);
    const bool error = Usable(STD_ERROR_HANDLE);
    if ((input && output && error) || !AttachConsole(ATTACH_PARENT_PROCESS)) {
        return;
    }
    if (!input) {
        TakeConsoleFor(STD_INPUT_HANDLE, L"CONIN$", GENERIC_READ | GENERIC_WRITE, stdin, "r");
    }
    if (!output) {
        TakeConsoleFor(STD_OUTPUT_HANDLE, L"CONOUT$", GENERIC_READ | GENERIC_WRITE, stdout, "w");
    }
    if (!error) {
        TakeConsoleFor(STD_ERROR_HANDLE, L"CONOUT$", GENERIC_READ | GENERIC_WRITE, stderr, "w");
    }
}

void ReadStandardInputAsBytes() {
    (void)_setmode(_fileno(stdin), _O_BINARY);
}

} // namespace entry
