// The program in a real terminal against a printer that reads at the line's
// own pace, 115200 baud 8E1 (about 10.5 KB a second): a Print of 100 KB takes
// ten seconds, as on paper, and nobody presses a key meanwhile. Long waits
// like these, and a network printer that never answers, must end only the
// wait: the program goes on with its text, and only a terminal that is
// really gone ends it.
#include "program_command.h"
#include "session_checks.h"
#include "terminal_fixture.h"
#include "tests/support/pty_printer.h"
#include "tests/support/tcp_printer.h"

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/file.h>
#include <unistd.h>

namespace {

using namespace testing_support;
using e2e::Alive;
using e2e::PortFree;
using terminal_test::TerminalProgramTest;
using terminal_test::WaitUntil;

constexpr unsigned kLineBaud = 115200;
// Ten seconds of printing and some room.
constexpr auto kWholeJob = std::chrono::seconds(60);

class RealRateSession : public TerminalProgramTest {
protected:
    void SetUp() override {
        TerminalProgramTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        printer_.ReadAtBaud(kLineBaud);
        table_.Link(3, printer_.path());
        startProgram(e2e::ProgramCommand(table_), "Tallyroll (2.0)", "C.UTF-8");
    }

    void keys(const std::string& k) const { session_->sendKeys(k); }
    bool shows(const std::string& text,
               std::chrono::milliseconds timeout = std::chrono::seconds(10)) const {
        return session_->waitForScreen(text, timeout);
    }

    // Loads about 100 KB of numbered lines through the "..." dialog.
    void loadLongText() {
        for (int i = 1; i <= 1024; ++i) {
            std::string number = std::to_string(i);
            number.insert(0, 5 - number.size(), '0');
            std::string line = "line " + number + " ";
            line.resize(99, static_cast<char>('a' + i % 26));
            text_ += line + "\n";
        }
        const std::string file = session_->dir() + "/long.txt";
        std::ofstream(file, std::ios::binary) << text_;
        keys("BTab BTab Space"); // COM -> Printer -> "..."
        ASSERT_TRUE(shows("Files of type")) << session_->capture();
        session_->sendKeys(file, true);
        keys("Enter");
        ASSERT_TRUE(shows("long.txt")) << session_->capture();
        ASSERT_TRUE(shows("line 00001")) << session_->capture();
    }

    // Lead-in, the plain format block, the text and its line end, 00 00.
    Bytes expectedJob() const { return e2e::PlainPrint(text_); }

    void clickPrint() const {
        int column = -1, row = -1;
        ASSERT_TRUE(session_->findOnScreen("Print\xC2\xAB", column, row)) << session_->capture();
        const std::string at{static_cast<char>(column + 33), static_cast<char>(row + 33)};
        session_->sendBytes("\033[M\x20" + at + "\033[M\x23" + at);
    }

    // The job has ended and the program is back at its form, text and all,
    // and answers: a click before the text's first letter and two typed ones
    // show up in the text box. A program that ended would leave the screen
    // to the shell, which shows neither.
    void expectFormAnswersWithItsText() const {
        ASSERT_TRUE(
            WaitUntil([&] { return session_->capture().find("Esc cancels") == std::string::npos; },
                      std::chrono::seconds(10)))
            << session_->capture();
        int column = -1, row = -1;
        ASSERT_TRUE(session_->findOnScreen("line 00001", column, row)) << session_->capture();
        const std::string at{static_cast<char>(column + 33), static_cast<char>(row + 33)};
        session_->sendBytes("\033[M\x20" + at + "\033[M\x23" + at);
        session_->sendKeys("Qz", true);
        EXPECT_TRUE(shows("Qzline 00001")) << session_->capture();
        EXPECT_TRUE(Alive(programPid()));
    }

    PtyPrinter printer_{PtyPrinter::Start::Reading};
    DeviceTable table_;
    std::string text_;
};

TEST_F(RealRateSession, A100KilobytePrintWithNoKeyPressedCompletesAndTheProgramGoesOn) {
    loadLongText();
    const Bytes job = expectedJob();
    clickPrint();
    ASSERT_TRUE(shows("Printing on COM3:")) << session_->capture();
    ASSERT_TRUE(printer_.WaitForBytes(job.size(), kWholeJob)) << session_->capture();
    expectFormAnswersWithItsText();
    EXPECT_EQ(printer_.Drain(), job) << "every byte, in order, and nothing more";
    keys("Escape");
    EXPECT_EQ(ended(), 0);
    expectTerminalRestored();
}

// The printer stops taking bytes for 8 s in the middle of the job (its
// buffer is full, the paper is being changed), then goes on; the program
// waits it out without a key, and only a terminal that is closed ends it.
TEST_F(RealRateSession, APrinterPausing8SecondsMidJobIsWaitedOutAndOnlyAHangUpEndsTheProgram) {
    loadLongText();
    const Bytes job = expectedJob();
    printer_.PauseAfter(job.size() / 2, std::chrono::seconds(8));
    clickPrint();
    ASSERT_TRUE(printer_.WaitPaused(kWholeJob)) << session_->capture();
    ASSERT_TRUE(shows("Printing on COM3:")) << session_->capture();
    ASSERT_TRUE(printer_.WaitForBytes(job.size(), kWholeJob)) << session_->capture();
    expectFormAnswersWithItsText();
    EXPECT_EQ(printer_.Drain(), job);

    const pid_t pid = programPid();
    session_->closeTerminal();
    EXPECT_TRUE(WaitUntil([&] { return !Alive(pid); }, std::chrono::seconds(5)))
        << "still running after its terminal went away";
    EXPECT_TRUE(WaitUntil([&] { return PortFree(printer_.path()); }, std::chrono::seconds(5)));
}

// A network printer that never answers: the connect waits its full 5 s with
// no key pressed, then says so, and the form is still there afterwards,
// however often the window is resized while the message is read (a resize
// wakes the program as a key does, but brings no input).
TEST_F(RealRateSession, AConnectThatWaitsItsFullTimeEndsInItsMessageNotTheProgram) {
    SilentListener silent;
    ASSERT_TRUE(silent.ok());
    table_.Link(3, silent.target());
    keys("Enter");
    ASSERT_TRUE(shows("Connecting COM3 to network printer")) << session_->capture();
    const std::string message = "Unable to open COM3:, Error No.=121";
    ASSERT_TRUE(shows(message, std::chrono::seconds(30))) << session_->capture();
    for (const int width : {81, 80, 81, 80}) {
        session_->resizeWindow(width, 24);
        ASSERT_TRUE(WaitUntil(
            [&] { return session_->paneFormat("#{pane_width}") == std::to_string(width); },
            std::chrono::seconds(5)));
        ASSERT_TRUE(shows(message)) << session_->capture();
    }
    EXPECT_TRUE(Alive(programPid()));
    keys("Enter"); // the message box's OK
    ASSERT_TRUE(
        WaitUntil([&] { return session_->capture().find("Unable to open") == std::string::npos; },
                  std::chrono::seconds(5)))
        << session_->capture();
    EXPECT_TRUE(shows("Tallyroll (2.0)")) << "the form is back, not the shell";
    keys("Escape");
    EXPECT_EQ(ended(), 0); // (the terminal's size is the test's own change)
}

} // namespace
