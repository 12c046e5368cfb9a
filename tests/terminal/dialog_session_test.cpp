// A dialog from a template in a real terminal: the class framework on the
// window system, shown by the terminal front end, used with keys and the
// mouse, and the terminal restored when it ends, also by SIGTERM.
#include "terminal_fixture.h"

#include <csignal>
#include <string>

namespace terminal_test {
namespace {

class DialogSession : public TerminalProgramTest {
protected:
    void start() {
        startProgram("'" DIALOG_PROBE "' --pid-file \"$DIR/pid\" --result \"$DIR/result\"",
                     "Framework test", "C.UTF-8");
    }
    std::string result() const { return session_->readFile("result"); }
};

TEST_F(DialogSession, TakesKeysAndEndsWithOkAsADialogBoxDoes) {
    start();
    ASSERT_TRUE(session_->waitForScreen("Underline")) << session_->capture();
    ASSERT_TRUE(session_->waitForScreen("Rinth")) << session_->capture();
    session_->sendKeys("Ann", true); // the name field has the focus
    session_->sendKeys("Tab Space Tab Down");
    ASSERT_TRUE(session_->waitForScreen("Sovak")) << session_->capture();
    session_->sendKeys("Enter"); // the default button, OK
    EXPECT_EQ(ended(), 0);
    EXPECT_EQ(result(), "IDOK name=Ann underline=1 model=Sovak go=0\n");
    expectTerminalRestored();
}

TEST_F(DialogSession, TheMouseClicksAButton) {
    start();
    ASSERT_TRUE(session_->waitForScreen(" Go ")) << session_->capture();
    // Click "Go" with xterm mouse reports: a press and a release sent at
    // once, as a quick click arrives.
    int column = -1, row = -1;
    ASSERT_TRUE(session_->findOnScreen("Go", column, row)) << session_->capture();
    const std::string at{static_cast<char>(column + 33), static_cast<char>(row + 33)};
    session_->sendBytes("\033[M\x20" + at + "\033[M\x23" + at);
    session_->sendKeys("Escape");
    EXPECT_EQ(ended(), 0);
    EXPECT_EQ(result(), "IDCANCEL name= underline=0 model=Rinth go=1\n");
    expectTerminalRestored();
}

TEST_F(DialogSession, SigtermEndsTheDialogAndRestoresTheTerminal) {
    start();
    ASSERT_EQ(kill(programPid(), SIGTERM), 0);
    // The modal run ended and the program unwound, then died of the signal.
    EXPECT_EQ(ended(), 128 + SIGTERM);
    EXPECT_EQ(result(), "IDCANCEL name= underline=0 model=Rinth go=0\n");
    expectTerminalRestored();
}

} // namespace
} // namespace terminal_test
