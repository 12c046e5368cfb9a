// Last error, module handle and file name, and message boxes.
#include "platform/user32/dialogs/message_box_presenter.h"
#include "platform/win32/kernel.h"
#include "platform/win32/user.h"

#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

TEST(LastError, EachThreadHasItsOwn) {
    SetLastError(5);
    DWORD seenThere = 99;
    std::thread([&] {
        seenThere = GetLastError();
        SetLastError(2);
    }).join();
    EXPECT_EQ(seenThere, 0u);
    EXPECT_EQ(GetLastError(), 5u);
}

TEST(ModuleHandle, TheProgramHasOneFixedModule) {
    const HMODULE module = GetModuleHandleW(nullptr);
    EXPECT_NE(module, nullptr);
    EXPECT_EQ(GetModuleHandleW(nullptr), module);
    EXPECT_EQ(GetModuleHandleW(u"other.dll"), nullptr);
}

TEST(ModuleFileName, IsTheRunningProgramsFileAndIsCutToTheBuffer) {
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self);
    ASSERT_GT(n, 0);
    const std::u16string expected(self, self + n); // the build path is ASCII

    WCHAR path[4096];
    const HMODULE module = GetModuleHandleW(nullptr);
    EXPECT_EQ(GetModuleFileNameW(module, path, 4096), expected.size());
    EXPECT_EQ(std::u16string(path), expected);
    EXPECT_EQ(GetModuleFileNameW(nullptr, path, 4096), expected.size());

    // Too small: cut and terminated, the buffer's size answered.
    WCHAR cut[8];
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameW(nullptr, cut, 8), 8u);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(cut), expected.substr(0, 7));

    // Another module is none of this program's.
    auto* const other = reinterpret_cast<HMODULE>(static_cast<ULONG_PTR>(0x00700000));
    EXPECT_EQ(GetModuleFileNameW(other, path, 4096), 0u);
    EXPECT_NE(GetLastError(), ERROR_SUCCESS);
}

TEST(MessageBox, WithoutAPresenterGoesToStandardErrorAndAnswersOk) {
    ::testing::internal::CaptureStderr();
    const int answer = MessageBoxW(nullptr, u"Can't Send Data to Printer!", u"Error", MB_OK);
    const std::string written = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(answer, IDOK);
    EXPECT_EQ(written, "Error: Can't Send Data to Printer!\n");
}

HWND g_owner;
std::u16string g_text;

TEST(MessageBox, AnInstalledPresenterReceivesTheBoxUntilRemoved) {
    const MessageBoxPresenter previous =
        SetMessageBoxPresenter([](HWND owner, LPCWSTR text, LPCWSTR, UINT) {
            g_owner = owner;
            g_text = text;
            return IDCANCEL;
        });
    const HWND form = reinterpret_cast<HWND>(0x4000);
    EXPECT_EQ(MessageBoxW(form, u"\u00FCber", u"Error", MB_OK), IDCANCEL);
    EXPECT_EQ(g_owner, form);
    EXPECT_EQ(g_text, u"\u00FCber");

    SetMessageBoxPresenter(nullptr);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxW(form, u"\u00FCber", u"Error", MB_OK), IDOK);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Error: \xC3\xBC"
                                                        "ber\n");
    SetMessageBoxPresenter(previous);
}

} // namespace
