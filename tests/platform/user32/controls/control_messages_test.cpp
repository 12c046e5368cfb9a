// The controls driven only by their messages, inside a real dialog made from
// an in-memory template. The same file runs on Linux against our window
// system and on Windows (under Wine) against the system's user32, so every
// answer here is one both must give; where they differ, the check is skipped
// on Windows with its reason (docs/windows.md lists them).
#include "platform/win32/user.h"
#include "tests/platform/user32/template_builder.h"
#include "tests/support/system_differences.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

namespace tb = testing_bytes;
using Text = std::basic_string<WCHAR>;

constexpr int kEdit = 10;    // single-line edit
constexpr int kMemo = 11;    // multi-line edit
constexpr int kCombo = 12;   // drop-down combo
constexpr int kSorted = 13;  // drop-down combo, sorted
constexpr int kList = 14;    // list box, unsorted
constexpr int kCheck = 15;   // automatic check box
constexpr int kButton = 16;  // push button
constexpr int kMissing = 99; // no such control

struct Command {
    int id;
    int code;
    bool operator==(const Command&) const = default;
};

void PrintTo(const Command& c, std::ostream* os) {
    *os << "{" << c.id << ", " << c.code << "}";
}

// What the dialog procedure saw while the test's steps ran.
struct DialogRun {
    HWND dialog = nullptr;
    std::vector<Command> commands;
    std::function<void(HWND)> steps;
};

DialogRun* current = nullptr;

INT_PTR CALLBACK ProbeProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_INITDIALOG) {
        current->dialog = hDlg;
        current->commands.clear(); // only what the steps cause
        current->steps(hDlg);
        EndDialog(hDlg, IDOK);
        return FALSE;
    }
    if (msg == WM_COMMAND && current != nullptr) {
        current->commands.push_back(
            Command{static_cast<int>(LOWORD(wParam)), static_cast<int>(HIWORD(wParam))});
        return TRUE;
    }
    return FALSE;
}

std::vector<std::uint8_t> ProbeTemplate() {
    tb::Dialog d;
    d.style = WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT;
    d.cx = 200;
    d.cy = 120;
    d.caption = u"Probe";
    d.typeface = u"MS Shell Dlg";
    auto add = [&](std::uint16_t cls, int id, std::u16string text, short y, short cy,
                   std::uint32_t style) {
        tb::Control c;
        c.classOrdinal = cls;
        c.id = static_cast<std::uint32_t>(id);
        c.text = std::move(text);
        c.x = 4;
        c.y = y;
        c.cx = 100;
        c.cy = cy;
        c.style = WS_CHILD | WS_VISIBLE | style;
        d.controls.push_back(c);
    };
    add(0x81, kEdit, u"", 4, 10, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL);
    add(0x81, kMemo, u"", 16, 30,
        WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN);
    add(0x85, kCombo, u"", 48, 60, WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWN | CBS_AUTOHSCROLL);
    add(0x85, kSorted, u"", 62, 60, WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWN | CBS_SORT);
    add(0x83, kList, u"", 76, 24, WS_BORDER | WS_VSCROLL | WS_TABSTOP);
    add(0x80, kCheck, u"Check", 102, 10, WS_TABSTOP | BS_AUTOCHECKBOX);
    add(0x80, kButton, u"Go", 102, 10, WS_TABSTOP | BS_PUSHBUTTON);
    return tb::DialogEx(d);
}

// Runs the dialog once with these steps in its WM_INITDIALOG.
DialogRun RunDialog(std::function<void(HWND)> steps) {
    static const std::vector<std::uint8_t> bytes = ProbeTemplate();
    DialogRun run;
    run.steps = std::move(steps);
    current = &run;
    const INT_PTR result = DialogBoxIndirectParamW(
        nullptr, reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()), nullptr, ProbeProc, 0);
    current = nullptr;
    EXPECT_EQ(result, IDOK);
    return run;
}

LRESULT Send(HWND dlg, int id, UINT msg, WPARAM wParam, LPARAM lParam) {
    return SendMessageW(GetDlgItem(dlg, id), msg, wParam, lParam);
}

LRESULT SendText(HWND dlg, int id, UINT msg, WPARAM wParam, const WCHAR* text) {
    return Send(dlg, id, msg, wParam, reinterpret_cast<LPARAM>(text));
}

Text ComboItem(HWND dlg, int id, int index) {
    const LRESULT length = Send(dlg, id, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) {
        return TEXT("(error)");
    }
    Text text(static_cast<std::size_t>(length) + 1, WCHAR{});
    Send(dlg, id, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::vector<Text> ComboItems(HWND dlg, int id) {
    std::vector<Text> items;
    const auto n = static_cast<int>(Send(dlg, id, CB_GETCOUNT, 0, 0));
    items.reserve(n > 0 ? static_cast<std::size_t>(n) : 0);
    for (int i = 0; i < n; ++i) {
        items.push_back(ComboItem(dlg, id, i));
    }
    return items;
}

Text WindowText(HWND dlg, int id) {
    WCHAR buffer[128] = {};
    GetWindowTextW(GetDlgItem(dlg, id), buffer, 128);
    return buffer;
}

void Fill(HWND dlg, int id, std::initializer_list<const WCHAR*> items) {
    for (const WCHAR* s : items) {
        SendText(dlg, id, CB_ADDSTRING, 0, s);
    }
}

// Combo boxes --------------------------------------------------------------

TEST(ComboBoxMessages, AddStringAppendsOrSortsWithoutRegardToCase) {
    std::vector<Text> plain, sorted;
    std::vector<LRESULT> sortedAnswers;
    RunDialog([&](HWND dlg) {
        Fill(dlg, kCombo, {TEXT("pear"), TEXT("Apple"), TEXT("fig")});
        for (const WCHAR* s : {TEXT("pear"), TEXT("Apple"), TEXT("fig"), TEXT("banana")}) {
            sortedAnswers.push_back(SendText(dlg, kSorted, CB_ADDSTRING, 0, s));
        }
        plain = ComboItems(dlg, kCombo);
        sorted = ComboItems(dlg, kSorted);
    });
    EXPECT_EQ(plain, (std::vector<Text>{TEXT("pear"), TEXT("Apple"), TEXT("fig")}));
    EXPECT_EQ(sorted,
              (std::vector<Text>{TEXT("Apple"), TEXT("banana"), TEXT("fig"), TEXT("pear")}));
    // Each answer is where the entry went at the time.
    EXPECT_EQ(sortedAnswers, (std::vector<LRESULT>{0, 0, 1, 1}));
}

TEST(ComboBoxMessages, InsertStringGoesWhereToldEvenInASortedList) {
    std::vector<Text> plain, sorted;
    LRESULT atEnd = 0, pastEnd = 0, intoSorted = 0;
    RunDialog([&](HWND dlg) {
        Fill(dlg, kCombo, {TEXT("a"), TEXT("c")});
        SendText(dlg, kCombo, CB_INSERTSTRING, 1, TEXT("b"));
        atEnd = SendText(dlg, kCombo, CB_INSERTSTRING, static_cast<WPARAM>(-1), TEXT("d"));
        pastEnd = SendText(dlg, kCombo, CB_INSERTSTRING, 9, TEXT("z"));
        Fill(dlg, kSorted, {TEXT("a"), TEXT("c")});
        intoSorted = SendText(dlg, kSorted, CB_INSERTSTRING, 0, TEXT("x"));
        plain = ComboItems(dlg, kCombo);
        sorted = ComboItems(dlg, kSorted);
    });
    EXPECT_EQ(plain, (std::vector<Text>{TEXT("a"), TEXT("b"), TEXT("c"), TEXT("d")}));
    EXPECT_EQ(atEnd, 3);
    EXPECT_EQ(pastEnd, CB_ERR);
    EXPECT_EQ(intoSorted, 0);
    EXPECT_EQ(sorted, (std::vector<Text>{TEXT("x"), TEXT("a"), TEXT("c")}));
}

TEST(ComboBoxMessages, SelectionAndItsTextFollowSetCurSel) {
    LRESULT set = 0, get = 0, outOfRange = 0, none = 0, afterNone = 0;
    Text shown, shownAfterNone;
    RunDialog([&](HWND dlg) {
        Fill(dlg, kCombo, {TEXT("COM1"), TEXT("COM2"), TEXT("COM3")});
        set = Send(dlg, kCombo, CB_SETCURSEL, 2, 0);
        get = Send(dlg, kCombo, CB_GETCURSEL, 0, 0);
        shown = WindowText(dlg, kCombo);
        outOfRange = Send(dlg, kCombo, CB_SETCURSEL, 7, 0);
        none = Send(dlg, kCombo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        afterNone = Send(dlg, kCombo, CB_GETCURSEL, 0, 0);
        shownAfterNone = WindowText(dlg, kCombo);
    });
    EXPECT_EQ(set, 2);
    EXPECT_EQ(get, 2);
    EXPECT_EQ(shown, TEXT("COM3"));
    EXPECT_EQ(outOfRange, CB_ERR);
    // -1 removes the selection and clears the field, and still answers CB_ERR.
    EXPECT_EQ(none, CB_ERR);
    EXPECT_EQ(afterNone, CB_ERR);
    EXPECT_EQ(shownAfterNone, TEXT(""));
}

TEST(ComboBoxMessages, SetCurSelPastTheEndClearsTheSelection) {
    DIFFERS_ON_WINDOWS("Wine keeps the selection; Win32's documentation says it is cleared");
    LRESULT answer = 0, after = 0;
    Text shown;
    RunDialog([&](HWND dlg) {
        Fill(dlg, kCombo, {TEXT("COM1"), TEXT("COM2"), TEXT("COM3")});
        Send(dlg, kCombo, CB_SETCURSEL, 2, 0);
        answer = Send(dlg, kCombo, CB_SETCURSEL, 7, 0);
        after = Send(dlg, kCombo, CB_GETCURSEL, 0, 0);
        shown = WindowText(dlg, kCombo);
    });
    EXPECT_EQ(answer, CB_ERR);
    EXPECT_EQ(after, CB_ERR);
    EXPECT_EQ(shown, TEXT(""));
}

TEST(ComboBoxMessages, EntryTextAndLengthAnswerErrorOutOfRange) {
    LRESULT length = 0, copied = 0, badLength = 0, badText = 0;
    Text entry;
    RunDialog([&](HWND dlg) {
        Fill(dlg, kCombo, {TEXT("one"), TEXT("three")});
        length = Send(dlg, kCombo, CB_GETLBTEXTLEN, 1, 0);
        WCHAR buffer[16] = {};
        copied = Send(dlg, kCombo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(buffer));
        entry = buffer;
        badLength = Send(dlg, kCombo, CB_GETLBTEXTLEN, 2, 0);
        badText = Send(dlg, kCombo, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(buffer));
    });
    EXPECT_EQ(length, 5);
    EXPECT_EQ(copied, 5);
    EXPECT_EQ(entry, TEXT("three"));
    EXPECT_EQ(badLength, CB_ERR);
    EXPECT_EQ(badText, CB_ERR);
}

TEST(ComboBoxMessages, FindMatchesWholeOrPrefixIgnoringCaseFromAfterTheStart) {
    std::vector<LRESULT> answers;
    RunDialog([&](HWND dlg) {
        Fill(dlg, kCombo, {TEXT("Sovak"), TEXT("Qelvo"), TEXT("sov"), TEXT("Wexol")});
        auto find = [&](UINT msg, int start, const WCHAR* s) {
            answers.push_back(SendText(dlg, kCombo, msg, static_cast<WPARAM>(start), s));
        };
        find(CB_FINDSTRINGEXACT, -1, TEXT("SOV"));   // 2: the whole text only
        find(CB_FINDSTRINGEXACT, -1, TEXT("wexol")); // 3
        find(CB_FINDSTRINGEXACT, -1, TEXT("Wex"));   // none
        find(CB_FINDSTRING, -1, TEXT("sov"));        // 0: the first that begins so
        find(CB_FINDSTRING, 0, TEXT("sov"));         // 2: after entry 0
        find(CB_FINDSTRING, 2, TEXT("sov"));         // 0: wraps round
        find(CB_FINDSTRING, -1, TEXT("x"));          // none
    });
    EXPECT_EQ(answers, (std::vector<LRESULT>{2, 3, CB_ERR, 0, 2, 0, CB_ERR}));
}

TEST(ComboBoxMessages, ResetContentEmptiesTheListAndTheField) {
    LRESULT count = -5, selection = -5;
    Text shown;
    RunDialog([&](HWND dlg) {
        Fill(dlg, kCombo, {TEXT("a"), TEXT("b")});
        Send(dlg, kCombo, CB_SETCURSEL, 1, 0);
        Send(dlg, kCombo, CB_RESETCONTENT, 0, 0);
        count = Send(dlg, kCombo, CB_GETCOUNT, 0, 0);
        selection = Send(dlg, kCombo, CB_GETCURSEL, 0, 0);
        shown = WindowText(dlg, kCombo);
    });
    EXPECT_EQ(count, 0);
    EXPECT_EQ(selection, CB_ERR);
    EXPECT_EQ(shown, TEXT(""));
}

TEST(ComboBoxMessages, ResetContentAnswersOkay) {
    DIFFERS_ON_WINDOWS("Wine answers TRUE; Win32's documentation says always CB_OKAY (0)");
    LRESULT answer = -5;
    RunDialog([&](HWND dlg) {
        Fill(dlg, kCombo, {TEXT("a")});
        answer = Send(dlg, kCombo, CB_RESETCONTENT, 0, 0);
    });
    EXPECT_EQ(answer, 0); // CB_OKAY
}

TEST(ComboBoxMessages, ADropDownsTextNeedNotBeAnEntry) {
    LRESULT length = 0, selection = 0, copied = 0;
    Text shown;
    RunDialog([&](HWND dlg) {
        Fill(dlg, kCombo, {TEXT("COM1"), TEXT("COM2")});
        Send(dlg, kCombo, CB_SETCURSEL, 0, 0);
        SendText(dlg, kCombo, WM_SETTEXT, 0, TEXT("LPT1:"));
        WCHAR buffer[16] = {};
        copied = Send(dlg, kCombo, WM_GETTEXT, 16, reinterpret_cast<LPARAM>(buffer));
        shown = buffer;
        length = Send(dlg, kCombo, WM_GETTEXTLENGTH, 0, 0);
        selection = Send(dlg, kCombo, CB_GETCURSEL, 0, 0);
    });
    EXPECT_EQ(shown, TEXT("LPT1:"));
    EXPECT_EQ(copied, 5);
    EXPECT_EQ(length, 5);
    EXPECT_EQ(selection, 0); // the text does not move the selection
}

// Edits ---------------------------------------------------------------------

TEST(EditMessages, TextGoesInAndComesBackCutToTheBuffer) {
    LRESULT set = 0, length = 0, copied = 0, cut = 0, none = -5;
    int windowLength = 0;
    Text text, shortText;
    RunDialog([&](HWND dlg) {
        set = SendText(dlg, kEdit, WM_SETTEXT, 0, TEXT("Tallyroll"));
        length = Send(dlg, kEdit, WM_GETTEXTLENGTH, 0, 0);
        WCHAR buffer[16] = {};
        copied = Send(dlg, kEdit, WM_GETTEXT, 16, reinterpret_cast<LPARAM>(buffer));
        text = buffer;
        WCHAR small[5] = {};
        cut = Send(dlg, kEdit, WM_GETTEXT, 5, reinterpret_cast<LPARAM>(small));
        shortText = small;
        none = Send(dlg, kEdit, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(small));
        windowLength = GetWindowTextLengthW(GetDlgItem(dlg, kEdit));
    });
    EXPECT_EQ(set, TRUE);
    EXPECT_EQ(length, 9);
    EXPECT_EQ(copied, 9);
    EXPECT_EQ(text, TEXT("Tallyroll"));
    EXPECT_EQ(cut, 4); // room for four and the terminator
    EXPECT_EQ(shortText, TEXT("Tall"));
    EXPECT_EQ(none, 0);
    EXPECT_EQ(windowLength, 9);
}

TEST(EditMessages, AMultiLineEditKeepsCarriageReturnLineFeed) {
    LRESULT length = 0;
    Text text;
    RunDialog([&](HWND dlg) {
        SetWindowTextW(GetDlgItem(dlg, kMemo), TEXT("one\r\ntwo\r\n\r\nfour"));
        length = Send(dlg, kMemo, WM_GETTEXTLENGTH, 0, 0);
        text = WindowText(dlg, kMemo);
    });
    EXPECT_EQ(length, 16);
    EXPECT_EQ(text, TEXT("one\r\ntwo\r\n\r\nfour"));
}

TEST(EditMessages, SelectionIsOrderedAndClampedToTheText) {
    std::vector<DWORD> answers;
    RunDialog([&](HWND dlg) {
        SendText(dlg, kEdit, WM_SETTEXT, 0, TEXT("abcdef"));
        auto sel = [&](WPARAM from, LPARAM to) {
            Send(dlg, kEdit, EM_SETSEL, from, to);
            DWORD start = 99, end = 99;
            const auto both =
                static_cast<DWORD>(Send(dlg, kEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                                        reinterpret_cast<LPARAM>(&end)));
            answers.insert(answers.end(), {start, end, both});
        };
        sel(1, 3);
        sel(4, 2);  // backwards: the same range
        sel(2, 50); // past the end: up to it
        sel(0, -1); // everything
    });
    auto both = [](WORD from, WORD to) { return static_cast<DWORD>(MAKELONG(from, to)); };
    EXPECT_EQ(answers, (std::vector<DWORD>{1, 3, both(1, 3), 2, 4, both(2, 4), 2, 6, both(2, 6), 0,
                                           6, both(0, 6)}));
}

TEST(EditMessages, SetReadOnlyChangesTheStyle) {
    LRESULT on = 0, off = 0;
    DWORD styleOn = 0, styleOff = 0;
    RunDialog([&](HWND dlg) {
        const HWND edit = GetDlgItem(dlg, kEdit);
        on = Send(dlg, kEdit, EM_SETREADONLY, TRUE, 0);
        styleOn = static_cast<DWORD>(GetWindowLongW(edit, GWL_STYLE));
        off = Send(dlg, kEdit, EM_SETREADONLY, FALSE, 0);
        styleOff = static_cast<DWORD>(GetWindowLongW(edit, GWL_STYLE));
    });
    EXPECT_NE(on, 0);
    EXPECT_NE(off, 0);
    EXPECT_EQ(styleOn & ES_READONLY, static_cast<DWORD>(ES_READONLY));
    EXPECT_EQ(styleOff & ES_READONLY, 0u);
}

// Buttons -------------------------------------------------------------------

TEST(ButtonMessages, ACheckBoxHoldsTheStateItIsGiven) {
    std::vector<LRESULT> states;
    RunDialog([&](HWND dlg) {
        states.push_back(Send(dlg, kCheck, BM_GETCHECK, 0, 0));
        Send(dlg, kCheck, BM_SETCHECK, BST_CHECKED, 0);
        states.push_back(Send(dlg, kCheck, BM_GETCHECK, 0, 0));
        Send(dlg, kCheck, BM_SETCHECK, BST_UNCHECKED, 0);
        states.push_back(Send(dlg, kCheck, BM_GETCHECK, 0, 0));
        states.push_back(Send(dlg, kButton, BM_GETCHECK, 0, 0)); // a push button is never checked
    });
    EXPECT_EQ(states,
              (std::vector<LRESULT>{BST_UNCHECKED, BST_CHECKED, BST_UNCHECKED, BST_UNCHECKED}));
}

// List boxes ----------------------------------------------------------------

TEST(ListBoxMessages, EntriesSelectionAndText) {
    std::vector<LRESULT> answers;
    Text second;
    RunDialog([&](HWND dlg) {
        for (const WCHAR* s : {TEXT("zeta"), TEXT("alpha"), TEXT("mu")}) {
            answers.push_back(SendText(dlg, kList, LB_ADDSTRING, 0, s)); // 0 1 2: unsorted
        }
        answers.push_back(Send(dlg, kList, LB_GETCOUNT, 0, 0));   // 3
        answers.push_back(Send(dlg, kList, LB_GETCURSEL, 0, 0));  // none yet
        answers.push_back(Send(dlg, kList, LB_SETCURSEL, 1, 0));  // 1
        answers.push_back(Send(dlg, kList, LB_GETCURSEL, 0, 0));  // 1
        answers.push_back(Send(dlg, kList, LB_SETCURSEL, 7, 0));  // error
        answers.push_back(Send(dlg, kList, LB_GETTEXTLEN, 1, 0)); // 5
        answers.push_back(Send(dlg, kList, LB_GETTEXTLEN, 3, 0)); // error
        WCHAR buffer[16] = {};
        answers.push_back(Send(dlg, kList, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(buffer)));
        second = buffer;
    });
    EXPECT_EQ(answers, (std::vector<LRESULT>{0, 1, 2, 3, LB_ERR, 1, 1, LB_ERR, 5, LB_ERR, 5}));
    EXPECT_EQ(second, TEXT("alpha"));
}

TEST(ListBoxMessages, SetCurSelMinusOneClearsTheSelectionAndAnswersError) {
    LRESULT answer = 0, after = 0;
    RunDialog([&](HWND dlg) {
        SendText(dlg, kList, LB_ADDSTRING, 0, TEXT("one"));
        Send(dlg, kList, LB_SETCURSEL, 0, 0);
        answer = Send(dlg, kList, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        after = Send(dlg, kList, LB_GETCURSEL, 0, 0);
    });
    EXPECT_EQ(answer, LB_ERR);
    EXPECT_EQ(after, LB_ERR);
}

// The dialog and its items ---------------------------------------------------

TEST(DialogItems, ItemsAreFoundByIdAndAnswerTheirId) {
    int editId = 0, listId = 0;
    HWND missing = reinterpret_cast<HWND>(1);
    HWND parent = nullptr;
    const DialogRun run = RunDialog([&](HWND dlg) {
        editId = GetDlgCtrlID(GetDlgItem(dlg, kEdit));
        listId = GetDlgCtrlID(GetDlgItem(dlg, kList));
        missing = GetDlgItem(dlg, kMissing);
        parent = GetParent(GetDlgItem(dlg, kCombo));
    });
    EXPECT_EQ(editId, kEdit);
    EXPECT_EQ(listId, kList);
    EXPECT_EQ(missing, nullptr);
    EXPECT_EQ(parent, run.dialog);
}

TEST(DialogItems, EnableWindowAnswersWhetherTheWindowWasDisabled) {
    std::vector<BOOL> answers;
    RunDialog([&](HWND dlg) {
        const HWND button = GetDlgItem(dlg, kButton);
        answers.push_back(IsWindowEnabled(button));
        answers.push_back(EnableWindow(button, FALSE)); // was enabled: 0
        answers.push_back(IsWindowEnabled(button));
        answers.push_back(EnableWindow(button, FALSE) != 0); // already disabled
        answers.push_back(EnableWindow(button, TRUE) != 0);  // was disabled
        answers.push_back(IsWindowEnabled(button));
    });
    EXPECT_EQ(answers, (std::vector<BOOL>{TRUE, FALSE, FALSE, TRUE, TRUE, TRUE}));
}

// Notifications from changes made by messages ---------------------------------

TEST(Notifications, SelectingOrCheckingByMessageTellsTheDialogNothing) {
    std::vector<Command> commands;
    RunDialog([&](HWND dlg) {
        Fill(dlg, kCombo, {TEXT("a"), TEXT("b")});
        SendText(dlg, kList, LB_ADDSTRING, 0, TEXT("a"));
        current->commands.clear();
        Send(dlg, kCombo, CB_SETCURSEL, 1, 0);
        Send(dlg, kList, LB_SETCURSEL, 0, 0);
        Send(dlg, kCheck, BM_SETCHECK, BST_CHECKED, 0);
        commands = current->commands;
    });
    EXPECT_EQ(commands, std::vector<Command>{});
}

TEST(Notifications, SettingASingleLineEditsTextIsAChangeButAMultiLineEditsIsNot) {
    std::vector<Command> commands;
    RunDialog([&](HWND dlg) {
        current->commands.clear();
        SendText(dlg, kEdit, WM_SETTEXT, 0, TEXT("new"));
        SetWindowTextW(GetDlgItem(dlg, kEdit), TEXT("newer"));
        SendText(dlg, kMemo, WM_SETTEXT, 0, TEXT("new\r\nlines"));
        commands = current->commands;
    });
    auto changes = [&](int id) {
        return std::count(commands.begin(), commands.end(),
                          Command{id, static_cast<int>(EN_CHANGE)});
    };
    EXPECT_EQ(changes(kEdit), 2);
    EXPECT_EQ(changes(kMemo), 0);
}

// What the dialog manager asks of the controls ------------------------------

TEST(DialogCodes, EachControlSaysWhatKindOfKeysAndButtonItIs) {
    std::vector<LRESULT> codes;
    RunDialog([&](HWND dlg) {
        for (const int id : {kEdit, kList, kCheck, kButton}) {
            codes.push_back(Send(dlg, id, WM_GETDLGCODE, 0, 0));
        }
    });
    EXPECT_EQ(codes, (std::vector<LRESULT>{DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL,
                                           DLGC_WANTARROWS | DLGC_WANTCHARS, DLGC_BUTTON,
                                           DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON}));
}

TEST(DialogCodes, SetDefIdMakesThePushButtonTheDefaultOne) {
    LRESULT defId = 0, code = 0;
    DWORD type = 0;
    RunDialog([&](HWND dlg) {
        SendMessageW(dlg, DM_SETDEFID, kButton, 0);
        defId = SendMessageW(dlg, DM_GETDEFID, 0, 0);
        code = Send(dlg, kButton, WM_GETDLGCODE, 0, 0);
        const auto style = static_cast<DWORD>(GetWindowLongW(GetDlgItem(dlg, kButton), GWL_STYLE));
        type = style & BS_TYPEMASK;
    });
    EXPECT_EQ(defId, static_cast<LRESULT>(MAKELONG(kButton, DC_HASDEFID)));
    EXPECT_EQ(code, DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
    EXPECT_EQ(type, static_cast<DWORD>(BS_DEFPUSHBUTTON));
}

} // namespace
