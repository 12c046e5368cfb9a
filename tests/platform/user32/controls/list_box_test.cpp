// The list box and the drop-down list combo box, in a dialog read from a
// classic template.
#include "platform/user32/controls/list_box.h"
#include "tests/platform/user32/dialog_fixture.h"

using namespace dialog_test;
using screen::Key;

namespace {

void Fill(HWND) {
    for (const char16_t* s : {u"apple", u"banana", u"cherry", u"date", u"elder", u"fig", u"grape",
                              u"kiwi", u"lime", u"mango"}) {
        Send(kList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
        Send(kPick, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    }
}

} // namespace

TEST_F(DialogTest, ListBoxKeysMoveTheSelection) {
    Record().onInit = Fill;
    std::vector<LRESULT> seen;
    for (Key k : {Key::Down, Key::Down, Key::End, Key::Home, Key::PageDown}) {
        Screen().then([&seen, k](auto& s) {
            seen.push_back(Send(kList, LB_GETCURSEL));
            s.key(k);
        });
    }
    Screen().then([&](auto& s) {
        seen.push_back(Send(kList, LB_GETCURSEL));
        s.ch(U'l'); // the next entry starting with "l"
    });
    Screen().then([&](auto& s) {
        seen.push_back(Send(kList, LB_GETCURSEL));
        s.key(Key::Escape);
    });
    RunListDialog();
    // The box shows 3 entries (5 rows less its frame): a page is 2.
    EXPECT_EQ(seen, (std::vector<LRESULT>{-1, 0, 1, 9, 0, 2, 8}));
    EXPECT_EQ(Record().count(kList, LBN_SELCHANGE), 6);
}

TEST_F(DialogTest, ListBoxMouseSelectsScrollsAndDoubleClicks) {
    Record().onInit = Fill;
    LRESULT clicked = -1;
    bool scrolled = false;
    Screen().then([](auto& s) {
        RECT r{};
        GetWindowRect(Item(kList), &r);
        s.click(r.left + 2, r.top + 2); // "banana"
    });
    Screen().then([&](auto& s) {
        clicked = Send(kList, LB_GETCURSEL);
        RECT r{};
        GetWindowRect(Item(kList), &r);
        s.wheel(r.left + 2, r.top + 2, false);
    });
    Screen().then([&](auto& s) {
        int x = 0, y = 0;
        scrolled = !s.find("apple", x, y);
        ASSERT_TRUE(s.find("date", x, y));
        s.push(screen::MouseEvent{screen::MouseEvent::Kind::DoubleClick, x, y});
    });
    Screen().then([](auto& s) { s.key(Key::Escape); });
    RunListDialog();
    EXPECT_EQ(clicked, 1);
    EXPECT_TRUE(scrolled);
    EXPECT_EQ(Record().count(kList, LBN_DBLCLK), 1);
}

TEST_F(DialogTest, DropDownListTakesLettersNotText) {
    Record().onInit = Fill;
    LRESULT afterG = -1, afterSecondLetter = -1;
    std::u16string shown;
    Screen().then([](auto& s) {
        SetFocus(Item(kPick));
        s.ch(U'g');
    });
    Screen().then([&](auto& s) {
        afterG = Send(kPick, CB_GETCURSEL);
        s.ch(U'm');
        s.ch(U'z'); // no entry: nothing changes
    });
    Screen().then([&](auto& s) {
        afterSecondLetter = Send(kPick, CB_GETCURSEL);
        shown = Text(kPick);
        RECT r{};
        GetWindowRect(Item(kPick), &r);
        s.click(r.left, r.top); // a click on the field opens the list
    });
    Screen().then([](auto& s) {
        EXPECT_EQ(Send(kPick, CB_GETDROPPEDSTATE), TRUE);
        s.key(Key::Escape);
        s.key(Key::Escape);
    });
    RunListDialog();
    EXPECT_EQ(afterG, 6);
    EXPECT_EQ(afterSecondLetter, 9);
    EXPECT_EQ(shown, u"mango");
    EXPECT_EQ(Record().count(kPick, CBN_SELCHANGE), 2);
}
