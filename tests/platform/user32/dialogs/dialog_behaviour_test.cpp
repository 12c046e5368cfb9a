// A dialog box from a template, driven by keys and clicks on the headless
// screen, behaves as a person expects of a dialog box.
#include "platform/user32/core/window_system.h"
#include "tests/platform/user32/dialog_fixture.h"

using namespace dialog_test;
using screen::Key;

namespace {

void Then(std::function<void(headless::HeadlessFrontEnd&)> step) {
    Screen().then(std::move(step));
}

// Where text is on the screen; fails the test when it is not shown.
std::pair<int, int> Where(const std::string& text) {
    int x = 0, y = 0;
    EXPECT_TRUE(Screen().find(text, x, y)) << "not on screen: " << text << "\n" << Screen().text();
    return {x, y};
}

int FocusId() {
    return GetDlgCtrlID(GetFocus());
}

void FillCombos(HWND) {
    for (const char16_t* s : {u"one", u"two", u"three"}) {
        Send(kCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    }
    for (const char16_t* s : {u"b", u"a", u"c"}) {
        Send(kSorted, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    }
}

} // namespace

TEST_F(DialogTest, EscapeSendsCancelAndEndsTheRun) {
    Screen().key(Key::Escape);
    EXPECT_EQ(RunTestDialog(), IDCANCEL);
    EXPECT_EQ(Record().count(IDCANCEL, BN_CLICKED), 1);
}

TEST_F(DialogTest, CaptionOkButtonSendsOk) {
    Then([](auto& s) {
        const auto [x, y] = Where("[OK]");
        s.click(x + 1, y);
    });
    EXPECT_EQ(RunTestDialog(), IDOK);
    EXPECT_EQ(Record().count(IDOK, BN_CLICKED), 1);
}

TEST_F(DialogTest, AltOIsTheCaptionOkButton) {
    Screen().ch(U'o', false, true);
    EXPECT_EQ(RunTestDialog(), IDOK);
}

TEST_F(DialogTest, ShiftTabGoesBackwards) {
    std::vector<int> seen;
    for (int i = 0; i < 3; ++i) {
        Then([&](auto& s) {
            seen.push_back(FocusId());
            s.key(Key::BackTab);
        });
    }
    RunTestDialog();
    EXPECT_EQ(seen, (std::vector<int>{kName, IDCANCEL, kPath}));
}

TEST_F(DialogTest, EachTabReachesTheNextTabStop) {
    std::vector<int> seen;
    for (int i = 0; i < 8; ++i) {
        Then([&](auto& s) {
            seen.push_back(FocusId());
            s.key(Key::Tab);
        });
    }
    RunTestDialog();
    // Go (no tab stop) and Off (disabled) are passed over.
    EXPECT_EQ(seen,
              (std::vector<int>{kName, kCombo, kSorted, kCheck, kText, kPath, IDCANCEL, kName}));
}

TEST_F(DialogTest, InitDialogFalseLeavesTheFocusWhereTheProcedurePutIt) {
    Record().initAnswer = FALSE;
    Record().onInit = [](HWND) { SetFocus(Item(kCheck)); };
    int focus = 0;
    Then([&](auto&) { focus = FocusId(); });
    RunTestDialog();
    EXPECT_EQ(focus, kCheck);
}

TEST_F(DialogTest, EnterPressesTheDefaultButton) {
    Screen().key(Key::Enter);
    Then([](auto& s) { s.key(Key::Escape); });
    RunTestDialog();
    EXPECT_EQ(Record().count(kGo, BN_CLICKED), 1);
}

TEST_F(DialogTest, EnterInAMultiLineEditInsertsALineBreak) {
    std::u16string text;
    Then([](auto& s) {
        SetFocus(Item(kText));
        s.type("ab");
        s.key(Key::Enter);
        s.type("c");
    });
    Then([&](auto& s) {
        text = Text(kText);
        s.key(Key::Escape);
    });
    RunTestDialog();
    EXPECT_EQ(text, u"ab\r\nc");
    EXPECT_EQ(Record().count(kGo, BN_CLICKED), 0);
}

TEST_F(DialogTest, EnterOnAFocusedPushButtonPressesThatButton) {
    Then([](auto& s) {
        SetFocus(Item(IDCANCEL));
        s.key(Key::Enter);
    });
    EXPECT_EQ(RunTestDialog(), IDCANCEL);
    EXPECT_EQ(Record().count(kGo, BN_CLICKED), 0);
}

TEST_F(DialogTest, CheckBoxTogglesWithSpaceAndClickAndTellsTheParent) {
    LRESULT afterSpace = -1, afterClick = -1;
    Then([](auto& s) {
        SetFocus(Item(kCheck));
        s.ch(U' ');
    });
    Then([&](auto& s) {
        afterSpace = Send(kCheck, BM_GETCHECK);
        const auto [x, y] = Where("Check");
        s.click(x, y);
    });
    Then([&](auto& s) {
        afterClick = Send(kCheck, BM_GETCHECK);
        s.key(Key::Escape);
    });
    RunTestDialog();
    EXPECT_EQ(afterSpace, BST_CHECKED);
    EXPECT_EQ(afterClick, BST_UNCHECKED);
    EXPECT_EQ(Record().count(kCheck, BN_CLICKED), 2);
}

TEST_F(DialogTest, ComboArrowKeysChangeTheSelectionAndTypingClearsIt) {
    Record().onInit = FillCombos;
    LRESULT initial = 0, afterDown = 0, afterTyping = 0;
    std::u16string shown;
    int selChangesAfterTyping = 0;
    Then([&](auto& s) {
        initial = Send(kCombo, CB_GETCURSEL);
        SetFocus(Item(kCombo));
        s.key(Key::Down);
        s.key(Key::Down);
    });
    Then([&](auto& s) {
        afterDown = Send(kCombo, CB_GETCURSEL);
        shown = Text(kCombo);
        s.type("x");
    });
    Then([&](auto& s) {
        afterTyping = Send(kCombo, CB_GETCURSEL);
        selChangesAfterTyping = Record().count(kCombo, CBN_SELCHANGE);
        s.key(Key::Escape);
    });
    RunTestDialog();
    EXPECT_EQ(initial, CB_ERR);
    EXPECT_EQ(afterDown, 1);
    EXPECT_EQ(shown, u"two");
    EXPECT_EQ(afterTyping, CB_ERR);
    EXPECT_EQ(selChangesAfterTyping, 2); // the two Downs, none for typing
    EXPECT_GE(Record().count(kCombo, CBN_EDITCHANGE), 1);
}

TEST_F(DialogTest, ComboSelectionByMessageRaisesNoNotification) {
    Record().onInit = FillCombos;
    LRESULT answer = 0;
    std::u16string shown;
    Then([&](auto& s) {
        answer = Send(kCombo, CB_SETCURSEL, 2);
        shown = Text(kCombo);
        s.key(Key::Escape);
    });
    RunTestDialog();
    EXPECT_EQ(answer, 2);
    EXPECT_EQ(shown, u"three");
    EXPECT_EQ(Record().count(kCombo, CBN_SELCHANGE), 0);
}

TEST_F(DialogTest, ComboListOpensPicksAndCloses) {
    Record().onInit = FillCombos;
    LRESULT openState = 0, afterPick = 0, closedState = 1;
    Then([&](auto& s) {
        SetFocus(Item(kSorted));
        s.key(Key::F4);
    });
    Then([&](auto& s) {
        openState = Send(kSorted, CB_GETDROPPEDSTATE);
        s.key(Key::Down); // a selection change while open
        s.key(Key::Down);
        s.key(Key::Enter); // takes the entry, does not press the default button
    });
    Then([&](auto& s) {
        afterPick = Send(kSorted, CB_GETCURSEL);
        closedState = Send(kSorted, CB_GETDROPPEDSTATE);
        s.key(Key::Down, false, false, true); // Alt+Down opens
        s.key(Key::Escape);                   // closes the list, not the dialog
    });
    Then([&](auto& s) {
        EXPECT_EQ(Send(kSorted, CB_GETDROPPEDSTATE), FALSE);
        s.key(Key::Escape);
    });
    EXPECT_EQ(RunTestDialog(), IDCANCEL);
    EXPECT_EQ(openState, TRUE);
    EXPECT_EQ(afterPick, 1);
    EXPECT_EQ(closedState, FALSE);
    EXPECT_EQ(Record().count(kSorted, CBN_SELCHANGE), 3); // two Downs and the pick
    EXPECT_EQ(Record().count(kGo, BN_CLICKED), 0);
    EXPECT_EQ(Record().count(IDCANCEL, BN_CLICKED), 1);
}

TEST_F(DialogTest, ComboListByMouse) {
    Record().onInit = FillCombos;
    LRESULT picked = 0;
    Then([](auto& s) {
        const RECT r = [] {
            RECT rc{};
            GetWindowRect(Item(kCombo), &rc);
            return rc;
        }();
        s.click(r.right - 1, r.top); // the arrow
    });
    Then([](auto& s) {
        const auto [x, y] = Where("three");
        s.click(x, y);
    });
    Then([&](auto& s) {
        picked = Send(kCombo, CB_GETCURSEL);
        EXPECT_EQ(Send(kCombo, CB_GETDROPPEDSTATE), FALSE);
        s.key(Key::Escape);
    });
    RunTestDialog();
    EXPECT_EQ(picked, 2);
    EXPECT_EQ(Record().count(kCombo, CBN_SELCHANGE), 1);
}

TEST_F(DialogTest, PickingTheSelectedEntryFromTheOpenListStillRaisesASelectionChange) {
    Record().onInit = [](HWND hDlg) {
        FillCombos(hDlg);
        Send(kCombo, CB_SETCURSEL, 1); // "two", chosen by message: no notification
    };
    std::vector<int> changes; // CBN_SELCHANGE count after each step
    const auto count = [&] { changes.push_back(Record().count(kCombo, CBN_SELCHANGE)); };
    Then([](auto& s) {
        SetFocus(Item(kCombo));
        s.key(Key::F4);
        s.key(Key::Enter); // the highlighted entry is the selected one
    });
    Then([&](auto& s) {
        count();
        RECT r{};
        GetWindowRect(Item(kCombo), &r);
        s.click(r.right - 1, r.top); // the arrow opens the list
    });
    Then([&](auto& s) {
        // The list opens under the field: "one", then "two".
        RECT r{};
        GetWindowRect(Item(kCombo), &r);
        ASSERT_EQ(s.region(r.left + 1, r.top + 2, 3, 1), "two") << s.text();
        s.click(r.left + 1, r.top + 2);
    });
    Then([&](auto& s) {
        count();
        s.key(Key::F4);
        s.key(Key::Escape); // closing without a pick
        s.key(Key::F4);
        s.key(Key::F4); // nor does closing with the key that opened it
    });
    LRESULT selection = -1;
    Then([&](auto& s) {
        count();
        selection = Send(kCombo, CB_GETCURSEL);
        s.key(Key::Escape);
    });
    RunTestDialog();
    EXPECT_EQ(changes, (std::vector<int>{1, 2, 2}));
    EXPECT_EQ(selection, 1);
}

TEST_F(DialogTest, SortedComboKeepsEntriesInOrder) {
    std::vector<LRESULT> indexes;
    std::u16string first(8, u'\0');
    Record().onInit = [&](HWND) {
        for (const char16_t* s : {u"x3", u"x1", u"X2", u"x4"}) {
            indexes.push_back(Send(kSorted, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s)));
        }
        Send(kSorted, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first.data()));
    };
    Screen().key(Key::Escape);
    RunTestDialog();
    EXPECT_EQ(indexes, (std::vector<LRESULT>{0, 0, 1, 3}));
    EXPECT_EQ(first.substr(0, first.find(u'\0')), u"x1");
}

TEST_F(DialogTest, ReadOnlyEditSelectsButDoesNotChange) {
    DWORD from = 9, to = 9;
    std::u16string text;
    Then([](auto& s) {
        SetWindowTextW(Item(kPath), u"/tmp/a.txt");
        SetFocus(Item(kPath));
        s.key(Key::End);
        s.type("x");
        s.key(Key::Backspace);
        s.key(Key::Delete);
        s.key(Key::Left, true);
        s.key(Key::Left, true);
    });
    Then([&](auto& s) {
        text = Text(kPath);
        Send(kPath, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
        s.key(Key::Escape);
    });
    RunTestDialog();
    EXPECT_EQ(text, u"/tmp/a.txt");
    EXPECT_EQ(from, 8u);
    EXPECT_EQ(to, 10u);
}

TEST_F(DialogTest, DisabledButtonsIgnoreKeysAndClicks) {
    Then([](auto& s) {
        const auto [x, y] = Where("[Off]");
        s.click(x + 1, y);
        EnableWindow(Item(kGo), FALSE);
        s.key(Key::Enter); // the default button is disabled now
        s.ch(U'f', false, true);
    });
    Then([](auto& s) { s.key(Key::Escape); });
    RunTestDialog();
    EXPECT_EQ(Record().count(kOff, BN_CLICKED), 0);
    EXPECT_EQ(Record().count(kGo, BN_CLICKED), 0);
    EXPECT_EQ(Record().count(IDOK, BN_CLICKED), 0);
}

TEST_F(DialogTest, DisabledCancelButtonAlsoIgnoresEscape) {
    // The dialog procedure ends on any IDCANCEL, so what counts is that the
    // dialog is still there after the first Esc.
    bool openAfterFirstEscape = false;
    Then([](auto& s) {
        EnableWindow(Item(IDCANCEL), FALSE);
        s.key(Key::Escape);
    });
    Then([&](auto& s) {
        openAfterFirstEscape = IsWindow(Item(IDCANCEL)) != FALSE;
        EnableWindow(Item(IDCANCEL), TRUE);
        s.key(Key::Escape);
    });
    RunTestDialog();
    EXPECT_TRUE(openAfterFirstEscape) << "Esc ended the dialog through a disabled Cancel";
    EXPECT_EQ(Record().count(IDCANCEL, BN_CLICKED), 1);
}

TEST_F(DialogTest, MouseClickFocusesAndPresses) {
    int focus = 0;
    Then([](auto& s) {
        const auto [x, y] = Where("Go");
        s.click(x, y);
        RECT r{};
        GetWindowRect(Item(kText), &r);
        s.click(r.left + 2, r.top + 1);
    });
    Then([&](auto& s) {
        focus = FocusId();
        s.key(Key::Escape);
    });
    RunTestDialog();
    EXPECT_EQ(Record().count(kGo, BN_CLICKED), 1);
    EXPECT_EQ(focus, kText);
}

TEST_F(DialogTest, MnemonicOfAStaticFocusesTheNextControl) {
    int focus = 0;
    Then([](auto& s) {
        SetFocus(Item(kCheck));
        s.ch(U'n', false, true);
    });
    Then([&](auto& s) {
        focus = FocusId();
        s.ch(U'c', false, true); // presses the check box
    });
    Then([](auto& s) { s.key(Key::Escape); });
    RunTestDialog();
    EXPECT_EQ(focus, kName);
    EXPECT_EQ(Record().count(kCheck, BN_CLICKED), 1);
}

TEST_F(DialogTest, HandlesOfAnEndedDialogAreStale) {
    HWND edit = nullptr;
    Then([&](auto& s) {
        edit = Item(kName);
        EXPECT_TRUE(IsWindow(edit));
        s.key(Key::Escape);
    });
    RunTestDialog();
    EXPECT_FALSE(IsWindow(Record().dialog));
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_EQ(SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0), 0);
    EXPECT_EQ(GetDlgItem(Record().dialog, kName), nullptr);
    EXPECT_FALSE(EnableWindow(edit, FALSE));
    int local = 0;
    EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(&local)));
    EXPECT_FALSE(IsWindow(nullptr));
}

TEST_F(DialogTest, QuitEndsEveryOpenLoop) {
    int boxAnswer = 0;
    Record().onCommand = [&](int id, int) {
        if (id == kGo) {
            boxAnswer = MessageBoxW(Record().dialog, u"Busy", u"Error", MB_OK);
        }
    };
    Screen().key(Key::Enter);
    // Nothing more is queued: the screen answers QuitEvent inside the box.
    EXPECT_EQ(RunTestDialog(), IDCANCEL);
    EXPECT_EQ(boxAnswer, IDOK);
}

TEST_F(DialogTest, MissingTemplateFails) {
    EXPECT_EQ(DialogBoxParamW(TestModule(), MAKEINTRESOURCEW(999), nullptr, &TestDialogProc, 0),
              -1);
}

TEST_F(DialogTest, WindowStateCalls) {
    Then([](auto& s) {
        HWND d = Record().dialog;
        EXPECT_EQ(GetParent(Item(kName)), d);
        EXPECT_EQ(GetParent(d), nullptr);
        EXPECT_EQ(GetDlgCtrlID(Item(kCheck)), kCheck);
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(d, GWL_EXSTYLE)) & WS_EX_CAPTIONOKBTN,
                  WS_EX_CAPTIONOKBTN);
        EXPECT_FALSE(IsWindowEnabled(Item(kOff)));
        EXPECT_TRUE(IsWindowEnabled(Item(kGo)));
        // The dialog is centred on the desktop.
        RECT desk{}, r{};
        GetWindowRect(GetDesktopWindow(), &desk);
        GetWindowRect(d, &r);
        EXPECT_EQ(desk.right, 80);
        EXPECT_EQ(r.left, (80 - (r.right - r.left)) / 2);
        EXPECT_EQ(r.top, (24 - (r.bottom - r.top)) / 2);
        // Icons: WM_SETICON answers the previous one.
        const LPARAM big = 0x1234;
        EXPECT_EQ(SendMessageW(d, WM_SETICON, ICON_BIG, big), 0);
        EXPECT_EQ(SendMessageW(d, WM_SETICON, ICON_BIG, 0), big);
        EXPECT_EQ(SendMessageW(d, WM_SETICON, ICON_SMALL, big), 0);
        // Caption text through the window calls.
        EXPECT_EQ(GetWindowTextLengthW(d), 4);
        SetWindowTextW(d, u"Other");
        s.key(Key::Escape);
    });
    RunTestDialog();
}

TEST_F(DialogTest, ResizeKeepsTheDialogCentred) {
    RECT before{}, after{};
    Then([&](auto& s) {
        GetWindowRect(Record().dialog, &before);
        s.resize(100, 30);
    });
    Then([&](auto& s) {
        GetWindowRect(Record().dialog, &after);
        EXPECT_EQ(Screen().screen().width(), 100);
        s.key(Key::Escape);
    });
    RunTestDialog();
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.left, (100 - (after.right - after.left)) / 2);
    EXPECT_EQ(after.top, (30 - (after.bottom - after.top)) / 2);
}

TEST_F(DialogTest, ADialogMovedOverTheWholeScreenFollowsAResize) {
    RECT full{}, afterResize{}, restored{};
    Then([&](auto& s) {
        RECT screen{};
        GetWindowRect(GetDesktopWindow(), &screen);
        MoveWindow(Record().dialog, 0, 0, screen.right, screen.bottom, TRUE);
        GetWindowRect(Record().dialog, &full);
        s.resize(90, 30);
    });
    Then([&](auto& s) {
        GetWindowRect(Record().dialog, &afterResize);
        user32::SetDialogFullScreen(Record().dialog, false);
        GetWindowRect(Record().dialog, &restored);
        s.key(Key::Escape);
    });
    RunTestDialog();
    EXPECT_EQ(full.right, 80);
    EXPECT_EQ(full.bottom, 24);
    EXPECT_EQ(afterResize.right, 90);
    EXPECT_EQ(afterResize.bottom, 30);
    EXPECT_LT(restored.right - restored.left, 90); // back to its template size
}

TEST_F(DialogTest, OpenListScrollsWithTheWheelAndClosesOnAClickElsewhere) {
    Record().onInit = [](HWND) {
        for (int i = 0; i < 12; ++i) {
            const std::u16string entry =
                u"entry " + std::u16string(1, static_cast<char16_t>(u'a' + i));
            Send(kCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
        }
    };
    bool firstShownBefore = false, firstShownAfter = true;
    LRESULT droppedAfterClick = TRUE;
    Then([](auto& s) {
        SetFocus(Item(kCombo));
        s.key(Key::F4);
    });
    Then([&](auto& s) {
        int x = 0, y = 0;
        firstShownBefore = s.find("entry a", x, y);
        s.wheel(x, y, false);
    });
    Then([&](auto& s) {
        int x = 0, y = 0;
        firstShownAfter = s.find("entry a", x, y);
        const auto [cx, cy] = Where("Name:");
        s.click(cx, cy); // outside the list: closes it
    });
    Then([&](auto& s) {
        droppedAfterClick = Send(kCombo, CB_GETDROPPEDSTATE);
        s.key(Key::Escape);
    });
    RunTestDialog();
    EXPECT_TRUE(firstShownBefore);
    EXPECT_FALSE(firstShownAfter);
    EXPECT_EQ(droppedAfterClick, FALSE);
    EXPECT_EQ(Record().count(kCombo, CBN_SELCHANGE), 0);
}

TEST_F(DialogTest, TinyAndEmptyScreensAreSurvived) {
    int tinyWidth = 0, tinyHeight = 0;
    Then([](auto& s) {
        SetFocus(Item(kText));
        s.resize(10, 3);
        s.type("abc");
    });
    Then([&](auto& s) {
        tinyWidth = s.screen().width();
        tinyHeight = s.screen().height();
        s.resize(0, 0);
        s.key(Key::F4);
        s.resize(80, 24);
    });
    Then([](auto& s) {
        EXPECT_NE(s.text().find("Test"), std::string::npos);
        s.key(Key::Escape);
    });
    EXPECT_EQ(RunTestDialog(), IDCANCEL);
    EXPECT_EQ(tinyWidth, 10);
    EXPECT_EQ(tinyHeight, 3);
}
