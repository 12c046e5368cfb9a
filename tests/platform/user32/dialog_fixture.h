// A small test dialog (template 100 of a test module) and a dialog procedure
// that records every command, for driving real dialogs on the headless screen.
#pragma once

#include "platform/headless/headless_front_end.h"
#include "platform/win32/resources.h"
#include "platform/win32/user.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace dialog_test {

inline constexpr int kName = 10;   // single-line edit
inline constexpr int kCombo = 11;  // drop-down combo
inline constexpr int kSorted = 12; // drop-down combo, sorted
inline constexpr int kCheck = 13;  // automatic check box
inline constexpr int kText = 14;   // multi-line edit that wants Enter
inline constexpr int kPath = 15;   // read-only edit
inline constexpr int kGo = 20;     // default push button, no tab stop
inline constexpr int kOff = 21;    // disabled push button
inline constexpr WORD kDialogId = 100;
// Template 101: a list box and a drop-down list combo box.
inline constexpr WORD kListDialogId = 101;
inline constexpr int kList = 30;
inline constexpr int kPick = 31;

struct Command {
    int id;
    int code;
    bool operator==(const Command&) const = default;
};

// What the dialog procedure saw and does.
struct Recorder {
    HWND dialog = nullptr;
    std::vector<Command> commands;
    INT_PTR initAnswer = TRUE;
    std::function<void(HWND)> onInit;
    std::function<void(int id, int code)> onCommand;

    int count(int id, int code) const;
};

Recorder& Record();
HMODULE TestModule();
// Registers the test module's resources (once).
void RegisterTestResources();
INT_PTR CALLBACK TestDialogProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);

// Runs the test dialog with the steps queued on the headless screen.
INT_PTR RunTestDialog();
INT_PTR RunListDialog();

inline headless::HeadlessFrontEnd& Screen() {
    return headless::Screen();
}

std::u16string Text(int id);
LRESULT Send(int id, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
HWND Item(int id);

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override;
};

} // namespace dialog_test
