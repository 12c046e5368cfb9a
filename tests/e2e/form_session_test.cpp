// Tallyroll itself in a real terminal: keys pick a format and Print puts the
// exact stream on a pseudo-terminal linked as COM3; Test sends the test page;
// a missing port is reported; Quit and the caption's OK end the program with
// nothing more on the line and the terminal as it was.
#include "program_command.h"
#include "terminal_fixture.h"
#include "tests/support/compiled_locale.h"
#include "tests/support/pty_printer.h"
#include "tests/support/temp_folder.h"

#include <string>

namespace {

using namespace testing_support;
using terminal_test::TerminalProgramTest;

class FormSession : public TerminalProgramTest {
protected:
    void SetUp() override {
        TerminalProgramTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        table_.Link(3, port_.path());
    }

    void start(const std::string& locale = "C.UTF-8") {
        startProgram(e2e::ProgramCommand(table_), "Tallyroll (2.0)", locale);
    }
    void keys(const std::string& k) const { session_->sendKeys(k); }
    void text(const std::string& t) const { session_->sendKeys(t, true); }

    // Waits (bounded) for n bytes on the line and answers everything since
    // the last look.
    Bytes line(std::size_t n) {
        EXPECT_TRUE(port_.WaitForBytes(seen_ + n)) << session_->capture();
        seen_ += n;
        return port_.Drain();
    }

    DeviceTable table_;
    PtyPrinter port_;
    std::size_t seen_ = 0;
};

const Bytes kLeadIn = ToBytes({0, 0});

TEST_F(FormSession, KeysPickTheFormatAndPrintSendsTheExactStream) {
    start();
    // COM list has the focus. Tab to the text box, type AB; Tab to Width,
    // Down to x2; Tab to Height, Tab to Underline, Space; Enter is Print.
    keys("Tab");
    text("AB");
    keys("Tab Down Tab Tab Space");
    ASSERT_TRUE(session_->waitForScreen("[x] Underline")) << session_->capture();
    keys("Enter");
    EXPECT_EQ(line(24), Join({kLeadIn,
                              ToBytes({0x00, 0x1B, 0x55, 0x02, 0x1B, 0x56, 0x01, 0x1B, 0x2D, 0x01,
                                       0x1B, 0x63, 0x00, 0x1B, 0x69, 0x00}),
                              ToBytes("AB"), ToBytes({0x0D, 0x0A, 0, 0})}));
    keys("Escape"); // Quit
    EXPECT_EQ(ended(), 0);
    expectTerminalRestored();
    EXPECT_TRUE(port_.Drain().empty()) << "nothing more on the line after Quit";
}

// The plain C locale knows no character beyond ASCII, yet the terminal it
// runs in sends UTF-8: typed letters must arrive, and print in code page
// 1252 (the code page when the locale names none), Chinese as '?'.
TEST_F(FormSession, TypingInTheCLocaleKeepsEveryCharacter) {
    start("C");
    keys("Tab");
    text("w\xC3\xB6rld caf\xC3\xA9 \xE4\xB8\xAD\xE6\x96\x87");
    ASSERT_TRUE(session_->waitForScreen("caf\xC3\xA9")) << session_->capture();
    keys("Tab Enter");
    const std::string printed = "w\xF6rld caf\xE9 ??";
    const Bytes expected = Join({kLeadIn,
                                 ToBytes({0x00, 0x1B, 0x55, 0x01, 0x1B, 0x56, 0x01, 0x1B, 0x2D,
                                          0x00, 0x1B, 0x63, 0x00, 0x1B, 0x69, 0x00}),
                                 ToBytes(printed), ToBytes({0x0D, 0x0A, 0, 0})});
    EXPECT_EQ(line(expected.size()), expected);
    keys("Escape");
    EXPECT_EQ(ended(), 0);
}

// In a Shift-JIS locale the C library reads the bytes of the backslash and
// tilde keys as YEN SIGN and OVERLINE, which code page 932 has no byte for;
// typed, they must print as the bytes their keys sent.
TEST_F(FormSession, BackslashAndTildeTypedInAShiftJisLocalePrintAsThemselves) {
    const TempFolder locales("tallyroll-locale");
    if (!CompileLocale(locales.path(), "ja_JP.SJIS", "ja_JP", "SHIFT_JIS")) {
        GTEST_SKIP() << "localedef cannot make a Shift-JIS locale here";
    }
    start("ja_JP.SJIS LOCPATH='" + locales.path() + "'");
    keys("Tab");
    text("C:\\dir ~x");
    keys("Tab Enter");
    const Bytes expected = Join({kLeadIn,
                                 ToBytes({0x00, 0x1B, 0x55, 0x01, 0x1B, 0x56, 0x01, 0x1B, 0x2D,
                                          0x00, 0x1B, 0x63, 0x00, 0x1B, 0x69, 0x00}),
                                 ToBytes("C:\\dir ~x"), ToBytes({0x0D, 0x0A, 0, 0})});
    EXPECT_EQ(line(expected.size()), expected);
    keys("Escape");
    EXPECT_EQ(ended(), 0);
}

// A terminal smaller than the form says so instead of showing part of it;
// keys still work, and the form is back when the terminal grows.
TEST_F(FormSession, ATooSmallTerminalAsksToBeEnlarged) {
    start();
    session_->resizeWindow(40, 15);
    ASSERT_TRUE(session_->waitForScreen("this one is 40 x 15")) << session_->capture();
    EXPECT_EQ(session_->capture().find("Tallyroll (2.0)"), std::string::npos);
    keys("Enter");                   // Print, unseen
    EXPECT_EQ(line(22).size(), 22u); // lead-in, format block, line end, 00 00
    session_->resizeWindow(80, 24);
    ASSERT_TRUE(session_->waitForScreen("Tallyroll (2.0)")) << session_->capture();
    keys("Escape");
    EXPECT_EQ(ended(), 0);
}

TEST_F(FormSession, TestSendsTheTestPage) {
    start();
    keys("BTab BTab BTab BTab BTab Space"); // back from COM to Test, then press it
    const Bytes page = line(2 + 6 + 140 + 2);
    ASSERT_EQ(page.size(), 150u);
    EXPECT_EQ(Bytes(page.begin(), page.begin() + 8), ToBytes({0, 0, 0, 0, 0, 0, 0x1B, 0x40}));
    const std::string text(page.begin() + 8, page.end() - 2);
    EXPECT_EQ(text.substr(0, 24), "--Use Help for Printer--");
    EXPECT_EQ(text.substr(text.size() - 34), "---Here,Test Ok,Thank you---\r\n\r\n\r\n");
    keys("M-o"); // the caption's OK
    EXPECT_EQ(ended(), 0);
    expectTerminalRestored();
    EXPECT_TRUE(port_.Drain().empty());
}

TEST_F(FormSession, AMissingPortIsReportedInAMessageBox) {
    table_.Unlink(3);
    start();
    keys("Enter");
    ASSERT_TRUE(session_->waitForScreen("Unable to open COM3:, Error No.=2"))
        << session_->capture();
    keys("Enter"); // dismiss the box; the form is still there
    keys("Escape");
    EXPECT_EQ(ended(), 0);
    expectTerminalRestored();
}

TEST_F(FormSession, TheCaptionOkButtonEndsTheProgramByMouse) {
    start();
    int column = -1, row = -1;
    ASSERT_TRUE(session_->findOnScreen("[OK]", column, row)) << session_->capture();
    const std::string at{static_cast<char>(column + 1 + 33), static_cast<char>(row + 33)};
    session_->sendBytes("\033[M\x20" + at + "\033[M\x23" + at);
    EXPECT_EQ(ended(), 0);
    expectTerminalRestored();
    EXPECT_TRUE(port_.Drain().empty());
}

} // namespace
