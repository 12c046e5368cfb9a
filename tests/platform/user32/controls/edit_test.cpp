// Editing in the multi-line text box and the single-line field, key by key.
#include "tests/platform/user32/dialog_fixture.h"

using namespace dialog_test;
using screen::Key;

namespace {

struct Sel {
    DWORD from = 0, to = 0;
};

Sel Selection(int id) {
    Sel s;
    Send(id, EM_GETSEL, reinterpret_cast<WPARAM>(&s.from), reinterpret_cast<LPARAM>(&s.to));
    return s;
}

// Runs the test dialog with focus in control id holding text, applies keys,
// and hands back the control's text and selection.
struct Outcome {
    std::u16string text;
    Sel sel;
};

Outcome Edit(int id, const std::u16string& text,
             const std::function<void(headless::HeadlessFrontEnd&)>& keys) {
    Outcome out;
    Screen().then([&](auto& s) {
        SetWindowTextW(Item(id), text.c_str());
        SetFocus(Item(id));
        keys(s);
    });
    Screen().then([&](auto& s) {
        out.text = Text(id);
        out.sel = Selection(id);
        s.key(Key::Escape);
    });
    RunTestDialog();
    return out;
}

} // namespace

TEST_F(DialogTest, BackspaceAtALineStartJoinsTheLines) {
    const auto r = Edit(kText, u"ab\r\ncd", [](auto& s) {
        s.key(Key::Down);
        s.key(Key::Home);
        s.key(Key::Backspace);
    });
    EXPECT_EQ(r.text, u"abcd");
    EXPECT_EQ(r.sel.from, 2u);
}

TEST_F(DialogTest, DeleteAtALineEndRemovesTheWholeBreak) {
    const auto r = Edit(kText, u"ab\r\ncd", [](auto& s) {
        s.key(Key::End);
        s.key(Key::Delete);
    });
    EXPECT_EQ(r.text, u"abcd");
}

TEST_F(DialogTest, CursorNeverStopsInsideALineBreak) {
    const auto r = Edit(kText, u"ab\r\ncd", [](auto& s) {
        s.key(Key::End);
        s.key(Key::Right); // to the start of "cd", over "\r\n" at once
        s.ch(U'X');
    });
    EXPECT_EQ(r.text, u"ab\r\nXcd");
}

TEST_F(DialogTest, ShiftArrowsSelectAndTypingReplaces) {
    const auto r = Edit(kText, u"hello world", [](auto& s) {
        s.key(Key::End);
        for (int i = 0; i < 5; ++i) {
            s.key(Key::Left, true);
        }
        s.type("there");
    });
    EXPECT_EQ(r.text, u"hello there");
    EXPECT_EQ(r.sel.from, 11u);
    EXPECT_EQ(r.sel.to, 11u);
}

TEST_F(DialogTest, CtrlHomeAndEndAndPages) {
    std::u16string many;
    for (int i = 0; i < 30; ++i) {
        many += u"line\r\n";
    }
    const auto end = Edit(kText, many, [](auto& s) { s.key(Key::End, false, true); });
    EXPECT_EQ(end.sel.from, many.size());
    const auto home = Edit(kText, many, [](auto& s) {
        s.key(Key::End, false, true);
        s.key(Key::Home, false, true);
    });
    EXPECT_EQ(home.sel.from, 0u);
    // The box shows 3 rows: a page moves 2 rows.
    const auto page = Edit(kText, many, [](auto& s) {
        s.key(Key::PageDown);
        s.key(Key::PageDown);
        s.key(Key::PageUp);
    });
    EXPECT_EQ(page.sel.from, 2u * 6u);
}

TEST_F(DialogTest, UpAndDownKeepTheColumn) {
    const auto r = Edit(kText, u"abcdef\r\nxy\r\nlonger line", [](auto& s) {
        s.key(Key::End);  // column 6
        s.key(Key::Down); // "xy" is shorter: its end
        s.key(Key::Down); // back to column 6
        s.ch(U'|');
    });
    EXPECT_EQ(r.text, u"abcdef\r\nxy\r\nlonger| line");
}

TEST_F(DialogTest, WideCharactersAreNeverSplit) {
    const auto r = Edit(kText, u"a\U0001F600b", [](auto& s) {
        s.key(Key::End);
        s.key(Key::Left);
        s.key(Key::Backspace); // both halves of the emoji
    });
    EXPECT_EQ(r.text, u"ab");
}

TEST_F(DialogTest, CutAndPasteBetweenFields) {
    std::u16string text, name;
    Screen().then([](auto& s) {
        SetWindowTextW(Item(kText), u"one\r\ntwo");
        SetFocus(Item(kText));
        s.ch(U'a', true); // select all
        s.ch(U'x', true); // cut
        s.ch(U'v', true);
        s.ch(U'v', true);
    });
    Screen().then([](auto& s) {
        SetFocus(Item(kName));
        s.ch(U'v', true); // a single-line field takes the first line
    });
    Screen().then([&](auto& s) {
        text = Text(kText);
        name = Text(kName);
        s.key(Key::Escape);
    });
    RunTestDialog();
    EXPECT_EQ(text, u"one\r\ntwoone\r\ntwo");
    EXPECT_EQ(name, u"one");
}

TEST_F(DialogTest, SingleLineFieldScrollsSideways) {
    std::string row;
    Screen().then([](auto& s) {
        SetFocus(Item(kName));
        s.type("abcdefghijklmnopqrstuvwxyz");
    });
    Screen().then([&](auto& s) {
        RECT r{};
        GetWindowRect(Item(kName), &r);
        row = s.region(r.left, r.top, r.right - r.left, 1);
        s.key(Key::Escape);
    });
    RunTestDialog();
    EXPECT_EQ(row, "hijklmnopqrstuvwxyz ");
}

TEST_F(DialogTest, WheelScrollsTheTextBoxWithoutMovingTheCursor) {
    std::string top;
    Sel sel;
    Screen().then([](auto& s) {
        std::u16string many;
        for (int i = 0; i < 20; ++i) {
            many += u"row " + std::u16string(1, static_cast<char16_t>(u'A' + i)) + u"\r\n";
        }
        SetWindowTextW(Item(kText), many.c_str());
        RECT r{};
        GetWindowRect(Item(kText), &r);
        s.wheel(r.left + 3, r.top + 2, false);
    });
    Screen().then([&](auto& s) {
        RECT r{};
        GetWindowRect(Item(kText), &r);
        top = s.region(r.left + 1, r.top + 1, 5, 1);
        sel = Selection(kText);
        s.key(Key::Escape);
    });
    RunTestDialog();
    EXPECT_EQ(top, "row D");
    EXPECT_EQ(sel.from, 0u);
}

TEST_F(DialogTest, WideCharactersTakeTwoCells) {
    std::string row;
    int cursorX = 0;
    RECT r{};
    Screen().then([&](auto& s) {
        SetWindowTextW(Item(kText), u"\u4E2D\u6587 ok");
        SetFocus(Item(kText));
        s.key(Key::End);
    });
    Screen().then([&](auto& s) {
        GetWindowRect(Item(kText), &r);
        row = s.region(r.left + 1, r.top + 1, 8, 1);
        cursorX = s.screen().cursorX - (r.left + 1);
        s.key(Key::Escape);
    });
    RunTestDialog();
    EXPECT_EQ(row, "中 文  ok ");
    EXPECT_EQ(cursorX, 7);
}

// Combining marks and joiners show in their character's cell, as a terminal
// joins them, and the cursor steps over a character with its marks.
TEST_F(DialogTest, CombiningMarksJoinTheirCharacter) {
    std::string row, lineStart;
    int cursorX = 0;
    Screen().then([&](auto& s) {
        // e + acute, a zero-width space, a Devanagari ka + vowel sign (no width)
        SetWindowTextW(Item(kText), u"Cafe\u0301\u200B|\u0915\u0947|\r\n\u0301x");
        SetFocus(Item(kText));
        s.key(Key::Home, false, true);
        s.key(Key::End);
    });
    Screen().then([&](auto& s) {
        RECT r{};
        GetWindowRect(Item(kText), &r);
        row = s.region(r.left + 1, r.top + 1, 9, 1);
        lineStart = s.region(r.left + 1, r.top + 2, 3, 1);
        cursorX = s.screen().cursorX - (r.left + 1);
        s.key(Key::Escape);
    });
    RunTestDialog();
    EXPECT_EQ(row, "Cafe\u0301\u200B|\u0915\u0947|  ");
    EXPECT_EQ(cursorX, 7);
    EXPECT_EQ(lineStart, " \u0301x ") << "a mark with no character before it shows on a blank";

    const auto moved = Edit(kText, u"ae\u0301\u0302b", [](auto& s) {
        s.key(Key::End);
        s.key(Key::Left);
        s.key(Key::Left); // over b, then over e and its two marks
        s.ch(U'|');
        s.key(Key::Right); // over e and its marks again
        s.ch(U'|');
    });
    EXPECT_EQ(moved.text, u"a|e\u0301\u0302|b");
    const auto deleted = Edit(kText, u"ae\u0301b", [](auto& s) {
        s.key(Key::Home);
        s.key(Key::Right);
        s.key(Key::Delete); // e goes with its mark
    });
    EXPECT_EQ(deleted.text, u"ab");
}

// A file with lone CRs prints as one line (the printer ends lines at CR LF and
// LF only), so the text box shows it as one line: the CR as a mark inside it.
TEST_F(DialogTest, ALoneCrShowsAsAMarkInsideItsLine) {
    std::string rows;
    bool markReversed = false;
    Outcome down;
    Screen().then([&](auto& s) {
        SetWindowTextW(Item(kText), u"one\rtwo\r\nthree\nfour\r");
        SetFocus(Item(kText));
        s.key(Key::Home, false, true); // a key, so that the box is drawn
    });
    Screen().then([&](auto& s) {
        RECT r{};
        GetWindowRect(Item(kText), &r);
        rows = s.region(r.left + 1, r.top + 1, 10, 3);
        markReversed = (s.screen().at(r.left + 4, r.top + 1).attrs & screen::AttrReverse) != 0;
        s.key(Key::Escape);
    });
    RunTestDialog();
    EXPECT_EQ(rows, "one\u240Dtwo   \nthree     \nfour\u240D     ");
    EXPECT_TRUE(markReversed) << "a terminal without the mark's glyph shows a reversed M";
    // Down goes from the first line to "three": "two" is no line of its own.
    down = Edit(kText, u"one\rtwo\r\nthree", [](auto& s) {
        s.key(Key::Down);
        s.ch(U'|');
    });
    EXPECT_EQ(down.text, u"one\rtwo\r\n|three");
    // The mark is a character like any other: Backspace takes the CR alone.
    const auto joined = Edit(kText, u"ab\rcd", [](auto& s) {
        s.key(Key::End);
        for (int i = 0; i < 2; ++i) {
            s.key(Key::Left);
        }
        s.key(Key::Backspace);
    });
    EXPECT_EQ(joined.text, u"abcd");
}

TEST_F(DialogTest, TheTextIsReadBackWholeOrCutToTheBuffer) {
    std::u16string whole;
    std::u16string cut(8, u'#');
    int copied = 0;
    std::u16string text;
    for (int i = 0; i < 5000; ++i) {
        text += u"line \u00E9\u20AC \u4E2D\r\n";
    }
    Screen().then([&](auto& s) {
        SetWindowTextW(Item(kText), text.c_str());
        whole = Text(kText);
        copied = GetWindowTextW(Item(kText), cut.data(), 5);
        s.key(Key::Escape);
    });
    RunTestDialog();
    EXPECT_EQ(whole, text);
    EXPECT_EQ(copied, 4);
    EXPECT_EQ(cut, std::u16string(u"line\0###", 8));
}
