// What a command gets of a Windows process: the program's message boxes as
// counted lines on standard error, complaints, and --output's targets.
#include "platform/entry/module_import.h"
#include "platform/entry/windows_console_services.h"

#include <gtest/gtest.h>
#include <string>
#include <windows.h>

namespace {

std::wstring TemporaryName() {
    wchar_t folder[MAX_PATH];
    wchar_t name[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"tly", 0, name);
    return name;
}

std::string ReadFileBytes(const std::wstring& name) {
    HANDLE file = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (file != INVALID_HANDLE_VALUE && ReadFile(file, buffer, sizeof buffer, &got, nullptr) &&
           got > 0) {
        bytes.append(buffer, got);
    }
    CloseHandle(file);
    return bytes;
}

// One of the process's standard handles pointed at a file of its own while
// the object lives; what was written there can be read back.
class CapturedStandardHandle {
public:
    explicit CapturedStandardHandle(DWORD which)
        : which_(which), saved_(GetStdHandle(which)), name_(TemporaryName()) {
        file_ = CreateFileW(name_.c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS, 0, nullptr);
        SetStdHandle(which_, file_);
    }
    ~CapturedStandardHandle() {
        SetStdHandle(which_, saved_);
        CloseHandle(file_);
        DeleteFileW(name_.c_str());
    }
    CapturedStandardHandle(const CapturedStandardHandle&) = delete;
    CapturedStandardHandle& operator=(const CapturedStandardHandle&) = delete;

    std::string Text() const { return ReadFileBytes(name_); }

private:
    DWORD which_;
    HANDLE saved_;
    std::wstring name_;
    HANDLE file_ = INVALID_HANDLE_VALUE;
};

void* SystemMessageBox() {
    return reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "MessageBoxW"));
}

TEST(WindowsCommandServices, MessageBoxesBecomeCountedLinesOnlyWhileTheServicesLive) {
    CapturedStandardHandle error(STD_ERROR_HANDLE);
    {
        entry::WindowsConsoleServices services;
        // No window comes up: the call answers as the box's OK would.
        EXPECT_EQ(MessageBoxW(nullptr, L"Unable to open COM5:, Error No.=2", L"Error", MB_OK),
                  IDOK);
        EXPECT_EQ(MessageBoxW(nullptr, L"Can't Send Data to Printer!", L"Error", MB_OK), IDOK);
        EXPECT_EQ(services.MessagesShown(), 2U);
        // A complaint is no message box: it does not count as a failed step.
        services.Complain(L"\"a\x1b[2Jb\" is not a printer");
        EXPECT_EQ(services.MessagesShown(), 2U);
    }
    EXPECT_EQ(error.Text(), "tallyroll: Unable to open COM5:, Error No.=2\r\n"
                            "tallyroll: Can't Send Data to Printer!\r\n"
                            "tallyroll: \"a\\x1b[2Jb\" is not a printer\r\n");
    // The system's box is back: replacing the import again hands it over.
    void* current = entry::ReplaceModuleImport("USER32.dll", "MessageBoxW", SystemMessageBox());
    EXPECT_EQ(current, SystemMessageBox());
    EXPECT_EQ(entry::ReplaceModuleImport("user32.dll", "NoSuchFunction", nullptr), nullptr);
    EXPECT_EQ(entry::ReplaceModuleImport("nosuch.dll", "MessageBoxW", nullptr), nullptr);
}

TEST(WindowsCommandServices, StandardOutputAsTheOutputTakesTheBytesAsTheyAre) {
    CapturedStandardHandle output(STD_OUTPUT_HANDLE);
    CapturedStandardHandle error(STD_ERROR_HANDLE);
    entry::WindowsConsoleServices services;
    HANDLE handle = services.OpenOutput(L"-");
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    const char bytes[] = "\x1b@A\nB\r\n\x1a\x00";
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(handle, bytes, sizeof bytes, &written, nullptr));
    // The link closes what it was given; standard output stays open.
    CloseHandle(handle);
    EXPECT_NE(GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)), static_cast<DWORD>(FILE_TYPE_UNKNOWN));
    EXPECT_EQ(output.Text(), std::string(bytes, sizeof bytes));
    EXPECT_EQ(error.Text(), "");
}

TEST(WindowsCommandServices, AFileAsTheOutputIsEmptiedOrRefusedWithTheSystemsReason) {
    CapturedStandardHandle error(STD_ERROR_HANDLE);
    entry::WindowsConsoleServices services;
    const std::wstring name = TemporaryName();
    {
        HANDLE old =
            CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(old, "left from before", 16, &written, nullptr);
        CloseHandle(old);
    }
    HANDLE handle = services.OpenOutput(name);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(handle, "new", 3, &written, nullptr);
    CloseHandle(handle);
    EXPECT_EQ(ReadFileBytes(name), "new");
    DeleteFileW(name.c_str());

    const std::wstring missing = name + L".none\\out.bin";
    EXPECT_EQ(services.OpenOutput(missing), INVALID_HANDLE_VALUE);
    const std::string said = error.Text();
    // Shown as typed: a path's backslashes are not escaped on Windows.
    const std::string shown(missing.begin(), missing.end());
    EXPECT_EQ(said.rfind("tallyroll: cannot write to " + shown + ": ", 0), 0U) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << "one line: " << said;
    EXPECT_GT(said.size(), ("tallyroll: cannot write to " + shown + ": \r\n").size()) << said;
    EXPECT_EQ(services.MessagesShown(), 0U);
}

} // namespace
