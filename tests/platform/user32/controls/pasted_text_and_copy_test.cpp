// Text pasted into a dialog box is typed text for the focused control: it
// never presses a button or moves the focus. Ctrl+C copies in an edit field
// and never ends the program; with nothing to copy it says how to quit.
#include "platform/user32/core/window_system.h"
#include "tests/platform/user32/dialog_fixture.h"

using namespace dialog_test;
using screen::Key;

namespace {

void Then(std::function<void(headless::HeadlessFrontEnd&)> step) {
    Screen().then(std::move(step));
}

int FocusId() {
    return GetDlgCtrlID(GetFocus());
}

std::string BottomLine() {
    return Screen().row(Screen().height() - 1);
}

constexpr const char* kPasted = "Name:\tAnn\nCity:\tOslo\r\nZip:\r0150";

} // namespace

TEST_F(DialogTest, APasteIsTypedIntoTheMultiLineEditWithItsTabsAndLineBreaks) {
    Then([](auto& s) {
        SetFocus(Item(kText));
        s.paste(kPasted);
    });
    int focus = 0;
    std::u16string text;
    Then([&](auto&) {
        focus = FocusId();
        text = Text(kText);
    });
    RunTestDialog();
    EXPECT_EQ(text, u"Name:\tAnn\r\nCity:\tOslo\r\nZip:\r\n0150");
    EXPECT_EQ(focus, kText) << "the Tabs in the paste moved the focus";
    EXPECT_EQ(Record().count(kGo, BN_CLICKED), 0) << "a line break in the paste pressed Go";
}

TEST_F(DialogTest, APasteIntoASingleLineFieldTakesItsFirstLineAsCtrlVWould) {
    Record().onInit = [](HWND) { Send(kCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"one")); };
    Then([](auto& s) {
        s.paste(kPasted); // the focus is on the name field
        s.key(Key::Tab);
        s.paste("tw\xC3\xB6\nthree"); // the combo box's field
    });
    std::u16string name, combo;
    Then([&](auto&) {
        name = Text(kName);
        combo = Text(kCombo);
    });
    RunTestDialog();
    EXPECT_EQ(name, u"Name:\tAnn");
    EXPECT_EQ(combo, u"tw\u00F6");
    EXPECT_EQ(Record().count(kGo, BN_CLICKED), 0);
    EXPECT_EQ(Record().count(kCombo, CBN_EDITCHANGE), 1) << "one paste, one change";
}

TEST_F(DialogTest, APasteOnAButtonOrAReadOnlyFieldDoesNothing) {
    Then([](auto& s) {
        SetFocus(Item(kCheck));
        s.paste(" \n");
        s.key(Key::Tab); // the text box
        s.key(Key::Tab); // the read-only path
        s.paste("x\n");
    });
    int focus = 0;
    std::u16string path;
    Then([&](auto&) {
        focus = FocusId();
        path = Text(kPath);
    });
    RunTestDialog();
    EXPECT_EQ(Record().count(kCheck, BN_CLICKED), 0) << "a pasted space pressed the check box";
    EXPECT_EQ(Record().count(kGo, BN_CLICKED), 0);
    EXPECT_EQ(path, u"");
    EXPECT_EQ(focus, kPath);
}

TEST_F(DialogTest, CtrlCCopiesTheSelectionAndLeavesTheDialogRunning) {
    std::u16string name, text;
    Then([](auto& s) {
        s.type("Ann");
        s.ch(U'a', true); // select all
        s.ch(U'c', true); // copy
        s.key(Key::End);
        s.ch(U'v', true); // paste what was copied
        s.key(Key::Tab);
        s.key(Key::Tab);
        s.key(Key::Tab);
        s.key(Key::Tab); // the text box
        s.type("Bo");
        s.key(Key::Left, true);
        s.key(Key::Left, true);
        s.key(Key::Insert, false, true); // Ctrl+Insert copies too
        s.key(Key::End);
        s.ch(U'v', true);
    });
    Then([&](auto&) {
        name = Text(kName);
        text = Text(kText);
    });
    RunTestDialog();
    EXPECT_EQ(name, u"AnnAnn") << "Ctrl+C did not copy, or ended the dialog";
    EXPECT_EQ(text, u"BoBo");
}

TEST_F(DialogTest, CtrlCWithNothingToCopySaysHowToQuitUntilTheNextKey) {
    std::string inField, onButton, afterKey;
    Then([](auto& s) { s.ch(U'c', true); }); // the empty name field
    Then([&](auto& s) {
        inField = BottomLine();
        SetFocus(Item(kCheck));
        s.ch(U'c', true);
    });
    Then([&](auto& s) {
        onButton = BottomLine();
        s.key(Key::Tab);
    });
    Then([&](auto&) { afterKey = BottomLine(); });
    EXPECT_EQ(RunTestDialog(), IDCANCEL); // only when the steps have run out
    EXPECT_NE(inField.find("Nothing to copy \xC2\xB7 Esc or Cancel ends the program"),
              std::string::npos)
        << inField;
    EXPECT_EQ(onButton, inField);
    EXPECT_EQ(afterKey.find("Nothing to copy"), std::string::npos) << afterKey;
    EXPECT_EQ(Record().count(IDCANCEL, BN_CLICKED), 0) << "Ctrl+C cancelled the dialog";
}
