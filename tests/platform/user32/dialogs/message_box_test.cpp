// Message boxes are modal windows: they take all input until dismissed and
// answer the button pressed.
#include "tests/platform/user32/dialog_fixture.h"

using namespace dialog_test;
using screen::Key;

namespace {

std::string Trimmed(int y) {
    std::string row = Screen().row(y);
    while (!row.empty() && row.back() == ' ') {
        row.pop_back();
    }
    return row;
}

} // namespace

TEST_F(DialogTest, MessageBoxLooksLikeABox) {
    std::vector<std::string> rows;
    Screen().then([&](auto& s) {
        for (int y = 9; y < 15; ++y) {
            rows.push_back(Trimmed(y));
        }
        s.key(Key::Enter);
    });
    EXPECT_EQ(MessageBoxW(nullptr, u"Can't Send Data to Printer!", u"Error", MB_OK), IDOK);
    EXPECT_EQ(rows, (std::vector<std::string>{
                        "                        ┌ Error ──────────────────────┐",
                        "                        │                             │",
                        "                        │ Can't Send Data to Printer! │",
                        "                        │                             │",
                        "                        │           [»OK«]            │",
                        "                        └─────────────────────────────┘",
                    }));
}

TEST_F(DialogTest, MessageBoxIsModalOverItsOwner) {
    int answer = 0;
    int cancelsWhileBoxOpen = -1;
    Record().onCommand = [&](int id, int) {
        if (id == kGo) {
            answer =
                MessageBoxW(Record().dialog, u"Unable to open COM3:, Error No.=2", u"Error", MB_OK);
        }
    };
    Screen().key(Key::Enter); // Go: shows the box
    Screen().then([&](auto& s) {
        EXPECT_NE(s.text().find("Unable to open COM3:, Error No.=2"), std::string::npos);
        s.key(Key::Tab); // stays inside the box
        s.ch(U'c', false, true);
    });
    Screen().then([&](auto& s) {
        cancelsWhileBoxOpen = Record().count(IDCANCEL, BN_CLICKED);
        s.key(Key::Escape); // a box with only OK answers OK to Esc
    });
    Screen().then([&](auto& s) {
        EXPECT_EQ(s.text().find("Unable to open"), std::string::npos); // the box is gone
        s.key(Key::Escape); // now the dialog's own cancel
    });
    EXPECT_EQ(RunTestDialog(), IDCANCEL);
    EXPECT_EQ(answer, IDOK);
    EXPECT_EQ(cancelsWhileBoxOpen, 0);
    EXPECT_EQ(Record().count(kCheck, BN_CLICKED), 0); // Alt+C did not reach the dialog
}

TEST_F(DialogTest, MessageBoxButtonsAnswerByKeyAndClick) {
    Screen().then([](auto& s) {
        s.key(Key::Escape); // no cancel answer in a Yes/No box: ignored
        const auto x = s.text();
        int cx = 0, cy = 0;
        ASSERT_TRUE(s.find("No", cx, cy));
        s.click(cx, cy);
    });
    EXPECT_EQ(MessageBoxW(nullptr, u"Really?", u"Question", MB_YESNO), IDNO);

    Screen().then([](auto& s) {
        s.key(Key::Tab);
        s.ch(U' ');
    });
    EXPECT_EQ(MessageBoxW(nullptr, u"Go on?", nullptr, MB_OKCANCEL), IDCANCEL);

    Screen().then([](auto& s) { s.key(Key::Escape); });
    EXPECT_EQ(MessageBoxW(nullptr, u"Go on?", nullptr, MB_OKCANCEL), IDCANCEL);
}

TEST_F(DialogTest, MessageBoxWrapsLongTextAndDefaultsItsCaption) {
    std::string screenText;
    Screen().then([&](auto& s) {
        screenText = s.text();
        s.key(Key::Enter);
    });
    const std::u16string longText(
        u"This message is long enough that it cannot stay on one row of the box and "
        u"has to be wrapped at the spaces between its words.");
    MessageBoxW(nullptr, longText.c_str(), nullptr, MB_OK);
    EXPECT_NE(screenText.find("┌ Error "), std::string::npos);
    EXPECT_NE(screenText.find("This message is long enough that it cannot stay on one row"),
              std::string::npos);
    EXPECT_NE(screenText.find("of the box and has to be wrapped at the spaces between its"),
              std::string::npos);
}
