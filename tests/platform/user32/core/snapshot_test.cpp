// What each control looks like on the headless screen, as text.
#include "platform/entry/resource_table.h"
#include "platform/user32/core/window_system.h"
#include "tests/platform/user32/dialog_fixture.h"
#include "tests/support/program_resources.h"

#include <gtest/gtest.h>

using namespace dialog_test;
using screen::Key;

namespace {

constexpr WORD kFormId = 102;

void RegisterForm() {
    const auto form = FormTemplate();
    static const RESOURCE_ITEM items[] = {
        {ResourceTypeNumber(RT_DIALOG), kFormId, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
         form.data(), static_cast<DWORD>(form.size())},
    };
    RegisterModuleResources(reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(0x7F0000)), items,
                            std::size(items));
}

INT_PTR RunForm(DLGPROC proc) {
    RegisterForm();
    return DialogBoxParamW(reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(0x7F0000)),
                           MAKEINTRESOURCEW(kFormId), nullptr, proc, 0);
}

INT_PTR CALLBACK FormProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        Record().dialog = hDlg;
        auto add = [&](int id, std::initializer_list<const char16_t*> entries) {
            for (const char16_t* e : entries) {
                SendMessageW(GetDlgItem(hDlg, id), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e));
            }
        };
        add(1002, {u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9"});
        add(1005, {u"x1", u"x2", u"x3", u"x4"});
        add(1006, {u"x1", u"x2", u"x3", u"x4"});
        add(1016, {u"Qelvo", u"Rinth", u"Sovak", u"Wexol"});
        SendMessageW(GetDlgItem(hDlg, 1002), CB_SETCURSEL, 2, 0);
        SendMessageW(GetDlgItem(hDlg, 1005), CB_SETCURSEL, 0, 0);
        SendMessageW(GetDlgItem(hDlg, 1006), CB_SETCURSEL, 0, 0);
        SendMessageW(GetDlgItem(hDlg, 1016), CB_SETCURSEL, 0, 0);
        return TRUE;
    }
    return TestDialogProc(hDlg, msg, wParam, lParam);
}

} // namespace

// The rows of the screen [top, top + count), without trailing blanks.
std::string Rows(int top, int count) {
    std::string out;
    for (int y = top; y < top + count; ++y) {
        std::string row = Screen().row(y);
        while (!row.empty() && row.back() == ' ') {
            row.pop_back();
        }
        out += row + "\n";
    }
    return out;
}

TEST_F(DialogTest, MainFormAtStart) {
    std::string shown;
    Screen().then([&](auto& s) {
        shown = Rows(1, 21);
        s.key(Key::Escape);
    });
    RunForm(&FormProc);
    EXPECT_EQ(shown, "               ┌ Tallyroll (2.0) ──────────────────────── [OK] ┐\n"
                     "               │                                               │\n"
                     "               │ Printer Qelvo   ▼                             │\n"
                     "               │                   [»Print«]  [Test]  [Quit]   │\n"
                     "               │  COM    3       ▼                             │\n"
                     "               │                                               │\n"
                     "               │┌ Font & Format ─────────────────────────────┐ │\n"
                     "               ││                                            │ │\n"
                     "               ││     Width:  x1   ▼      Height: x1   ▼     │ │\n"
                     "               ││                                            │ │\n"
                     "               ││ [ ] Underline   [ ] Direction   [ ] White  │ │\n"
                     "               │└────────────────────────────────────────────┘ │\n"
                     "               │ Choose file to print ...                      │\n"
                     "               │                                        [...]  │\n"
                     "               │┌────────────────────────────────────────────┐ │\n"
                     "               ││                                            ▲ │\n"
                     "               ││                                            █ │\n"
                     "               ││                                            ░ │\n"
                     "               ││                                            ▼ │\n"
                     "               │└────────────────────────────────────────────┘ │\n"
                     "               └───────────────────────────────────────────────┘\n");
}

TEST_F(DialogTest, FocusIsVisibleWithoutColours) {
    // The first tab stop (the COM list) holds the focus and the cursor; a
    // focused button is drawn in reverse video.
    int cursorX = 0, cursorY = 0;
    bool cursor = false;
    std::uint8_t testAttrs = 0, quitAttrs = 0;
    Screen().then([&](auto& s) {
        cursor = s.screen().cursorVisible;
        cursorX = s.screen().cursorX;
        cursorY = s.screen().cursorY;
        SetFocus(GetDlgItem(Record().dialog, 1011));
        s.key(Key::Left); // any event, to have the screen drawn again
    });
    Screen().then([&](auto& s) {
        int x = 0, y = 0;
        ASSERT_TRUE(s.find("Test", x, y));
        testAttrs = s.screen().at(x, y).attrs;
        ASSERT_TRUE(s.find("Quit", x, y));
        quitAttrs = s.screen().at(x, y).attrs;
        s.key(Key::Escape);
    });
    RunForm(&FormProc);
    EXPECT_TRUE(cursor);
    EXPECT_EQ(cursorY, 5);
    // The frame, client column 9 (the COM field), after its selected "3".
    EXPECT_EQ(cursorX, 15 + 1 + 9 + 1);
    EXPECT_EQ(testAttrs & screen::AttrReverse, screen::AttrReverse);
    EXPECT_EQ(quitAttrs & screen::AttrReverse, 0);
}

TEST_F(DialogTest, OpenComboList) {
    std::string shown;
    Screen().then([](auto& s) { s.key(Key::F4); });
    Screen().then([&](auto& s) {
        shown = Rows(5, 11);
        s.key(Key::Escape);
        s.key(Key::Escape);
    });
    RunForm(&FormProc);
    EXPECT_EQ(shown, "               │  COM    3       ▼                             │\n"
                     "               │         │1      │                             │\n"
                     "               │┌ Font & │2      │───────────────────────────┐ │\n"
                     "               ││        │3      │                           │ │\n"
                     "               ││     Wid│4      │ ▼      Height: x1   ▼     │ │\n"
                     "               ││        │5      │                           │ │\n"
                     "               ││ [ ] Und│6      │[ ] Direction   [ ] White  │ │\n"
                     "               │└────────│7      │───────────────────────────┘ │\n"
                     "               │ Choose f│8      │int ...                      │\n"
                     "               │         │9      │                      [...]  │\n"
                     "               │┌────────└───────┘───────────────────────────┐ │\n");
}

TEST_F(DialogTest, CheckedBoxesTextAndScrolledFields) {
    std::string shown;
    Screen().then([](auto& s) {
        HWND d = Record().dialog;
        SendMessageW(GetDlgItem(d, 1008), BM_SETCHECK, BST_CHECKED, 0);
        SetWindowTextW(GetDlgItem(d, 1013),
                       u"/home/somebody/documents/a rather long folder name/notes.txt");
        SetFocus(GetDlgItem(d, 1013));
        s.key(Key::End); // the read-only field scrolls to show its end
    });
    Screen().then([](auto& s) {
        SetFocus(GetDlgItem(Record().dialog, 1003));
        s.type("first line");
        s.key(Key::Enter);
        for (int i = 0; i < 50; ++i) {
            s.ch(U'a' + i % 26);
        }
        for (int i = 0; i < 3; ++i) {
            s.key(Key::Enter);
        }
        s.type("last");
    });
    Screen().then([&](auto& s) {
        shown = Rows(11, 10);
        s.key(Key::Escape);
    });
    RunForm(&FormProc);
    EXPECT_EQ(shown, "               ││ [ ] Underline   [x] Direction   [ ] White  │ │\n"
                     "               │└────────────────────────────────────────────┘ │\n"
                     "               │ Choose file to print ...                      │\n"
                     "               │ s/a rather long folder name/notes.txt  [...]  │\n"
                     "               │┌────────────────────────────────────────────┐ │\n"
                     "               ││stuvwx                                      ▲ │\n"
                     "               ││                                            █ │\n"
                     "               ││                                            ░ │\n"
                     "               ││last                                        ▼ │\n"
                     "               │└────────────────────────────────────────────┘ │\n");
}
