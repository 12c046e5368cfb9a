// Tallyroll in a real terminal with the keys of a dialog box user: pasted
// text lands in the text box as text (its Tabs and line ends never move the
// focus or press Print), Ctrl+C copies there instead of ending the program,
// and a SIGINT from outside still ends it.
#include "program_command.h"
#include "session_checks.h"
#include "terminal_fixture.h"
#include "tests/support/pty_printer.h"

#include <csignal>
#include <string>

namespace {

using namespace testing_support;
using terminal_test::TerminalProgramTest;

class KeysOfADialogBox : public TerminalProgramTest {
protected:
    void SetUp() override {
        TerminalProgramTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        table_.Link(3, port_.path());
        startProgram(e2e::ProgramCommand(table_), "Tallyroll (2.0)", "C.UTF-8");
        session_->sendKeys("Tab"); // from the COM list to the text box
    }

    DeviceTable table_;
    PtyPrinter port_;
};

TEST_F(KeysOfADialogBox, APasteIntoTheTextBoxIsTextAndPrintSendsItWhole) {
    session_->paste("Name:\tAnn\nCity:\tOslo");
    ASSERT_TRUE(session_->waitForScreen("City:")) << session_->capture();
    EXPECT_TRUE(port_.Drain().empty()) << "the paste's line end pressed Print";
    session_->sendKeys("Tab Enter"); // Print, from the Width list
    const Bytes expected = e2e::PlainPrint("Name:\tAnn\r\nCity:\tOslo");
    ASSERT_TRUE(port_.WaitForBytes(expected.size())) << session_->capture();
    EXPECT_EQ(port_.Drain(), expected) << "the paste reached another control, or COM3 changed";
    session_->sendKeys("Escape");
    EXPECT_EQ(ended(), 0);
}

// A paste far larger than one read: its characters straddle reads wherever
// the terminal cuts them. Each character prints as one byte in code page
// 1252 (Japanese as '?'), so a character lost or split shows in the bytes.
TEST_F(KeysOfADialogBox, AThirtyKilobytePasteOfGermanAndJapaneseLosesNothing) {
    std::string pasted;
    std::string printed;
    for (int i = 0; i < 700; ++i) {
        const std::string number = std::to_string(i);
        pasted += "Zeile " + number +
                  ": Gr\xC3\xBC\xC3\x9F"
                  "e aus K\xC3\xB6ln, "
                  "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE6\x96\x87\n";
        printed += "Zeile " + number +
                   ": Gr\xFC\xDF"
                   "e aus K\xF6ln, ?????\r\n";
    }
    ASSERT_GT(pasted.size(), 30000u);
    session_->paste(pasted);
    ASSERT_TRUE(session_->waitForScreen("Zeile 699:", std::chrono::seconds(30)))
        << session_->capture();
    session_->sendKeys("Tab Enter");
    const Bytes expected = e2e::PlainPrint(printed);
    ASSERT_TRUE(port_.WaitForBytes(expected.size())) << session_->capture();
    EXPECT_EQ(port_.Drain(), expected);
    session_->sendKeys("Escape");
    EXPECT_EQ(ended(), 0);
}

TEST_F(KeysOfADialogBox, CtrlCCopiesInTheTextBoxAndWithNothingToCopySaysHowToQuit) {
    session_->sendKeys("Ann", true);
    session_->sendKeys("C-a C-c End C-v");
    ASSERT_TRUE(session_->waitForScreen("AnnAnn")) << "Ctrl+C ended the program or did not copy\n"
                                                   << session_->capture();
    session_->sendKeys("C-c"); // no selection now
    EXPECT_TRUE(session_->waitForScreen("Nothing to copy \xC2\xB7 Esc or Quit ends the program"))
        << session_->capture();
    session_->sendKeys("S-Home C-IC End C-v"); // Ctrl+Insert copies too
    ASSERT_TRUE(session_->waitForScreen("AnnAnnAnnAnn")) << session_->capture();
    EXPECT_EQ(session_->capture().find("Nothing to copy"), std::string::npos)
        << "the word on how to quit stays only until the next key";

    // From outside, SIGINT still ends the program as the signal does.
    ASSERT_EQ(::kill(programPid(), SIGINT), 0);
    EXPECT_EQ(ended(), 128 + SIGINT);
    expectTerminalRestored();
}

} // namespace
