// Tallyroll in a real terminal with a network printer: COM3 links to
// tcp:127.0.0.1:PORT, where the test listens. Print and Test arrive byte for
// byte; a refused port, a printer that never answers, one that hangs up in the
// middle of a job and one that stops reading each meet the user as a serial
// printer's faults do; and a second program cannot take the printer from the
// first.
#include "program_command.h"
#include "terminal_fixture.h"
#include "tests/support/pty_printer.h"
#include "tests/support/tcp_printer.h"

#include <csignal>
#include <fstream>
#include <string>
#include <thread>

namespace {

using namespace testing_support;
using terminal_test::TerminalProgramTest;
using terminal_test::TmuxSession;
using terminal_test::WaitUntil;

using e2e::ProgramCommand;

class NetworkPrinterSession : public TerminalProgramTest {
protected:
    void SetUp() override {
        TerminalProgramTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        ASSERT_TRUE(printer_.listening());
        table_.Link(3, printer_.target());
    }

    void start() { startProgram(ProgramCommand(table_), "Tallyroll (2.0)", "C.UTF-8"); }
    void keys(const std::string& k) const { session_->sendKeys(k); }
    bool shows(const std::string& text) const { return session_->waitForScreen(text); }
    bool goneFromScreen(const std::string& text) const {
        return WaitUntil([&] { return session_->capture().find(text) == std::string::npos; },
                         std::chrono::seconds(5));
    }

    // Loads a file of about 200 KB through the "..." dialog: far more than the
    // connection and the printer buffer, so that its Print is in the middle of
    // its last write when the printer acts. Answers the job's size.
    std::size_t loadLongFile() {
        const std::string file = session_->dir() + "/long.txt";
        std::string bytes;
        for (int i = 0; i < 2000; ++i) {
            bytes += std::string(99, 'x') + "\n";
        }
        std::ofstream(file, std::ios::binary) << bytes;
        keys("BTab BTab Space"); // COM -> Printer -> "..."
        EXPECT_TRUE(shows("Files of type")) << session_->capture();
        session_->sendKeys(file, true);
        keys("Enter");
        EXPECT_TRUE(shows("long.txt")) << session_->capture();
        return 2 + 16 + bytes.size() + 4; // lead-in, format block, text and its line end, 00 00
    }

    void clickPrint() const {
        int column = -1, row = -1;
        ASSERT_TRUE(WaitUntil([&] { return session_->findOnScreen("Print\xC2\xAB", column, row); },
                              std::chrono::seconds(10)))
            << session_->capture();
        const std::string at{static_cast<char>(column + 33), static_cast<char>(row + 33)};
        session_->sendBytes("\033[M\x20" + at + "\033[M\x23" + at);
    }

    void quit() {
        keys("Escape");
        EXPECT_EQ(ended(), 0);
        expectTerminalRestored();
    }

    TcpPrinter printer_{"127.0.0.1", 4096};
    DeviceTable table_;
};

TEST_F(NetworkPrinterSession, PrintAndTestArriveExactlyOnOneConnection) {
    start();
    // Text AB, Width x2, Underline ticked, Print (Enter).
    keys("Tab");
    session_->sendKeys("AB", true);
    keys("Tab Down Tab Tab Space");
    ASSERT_TRUE(shows("[x] Underline")) << session_->capture();
    keys("Enter");
    const Bytes print = Join({ToBytes({0, 0}),
                              ToBytes({0x00, 0x1B, 0x55, 0x02, 0x1B, 0x56, 0x01, 0x1B, 0x2D, 0x01,
                                       0x1B, 0x63, 0x00, 0x1B, 0x69, 0x00}),
                              ToBytes("AB"), ToBytes({0x0D, 0x0A, 0, 0})});
    ASSERT_TRUE(printer_.WaitForBytes(print.size())) << session_->capture();
    EXPECT_EQ(printer_.Received(), print);

    keys("BTab BTab BTab BTab BTab BTab BTab BTab BTab Space"); // Underline back to Test
    ASSERT_TRUE(printer_.WaitForBytes(print.size() + 150)) << session_->capture();
    const Bytes all = printer_.Received();
    ASSERT_EQ(all.size(), print.size() + 150);
    const Bytes page(all.begin() + static_cast<std::ptrdiff_t>(print.size()), all.end());
    EXPECT_EQ(Bytes(page.begin(), page.begin() + 8), ToBytes({0, 0, 0, 0, 0, 0, 0x1B, 0x40}));
    const std::string text(page.begin() + 8, page.end() - 2);
    EXPECT_EQ(text.substr(0, 24), "--Use Help for Printer--");
    EXPECT_EQ(text.substr(text.size() - 34), "---Here,Test Ok,Thank you---\r\n\r\n\r\n");
    EXPECT_EQ(Bytes(page.end() - 2, page.end()), ToBytes({0, 0}));
    EXPECT_EQ(printer_.Connections(), 1) << "the connection stays open between jobs";
    quit();
    EXPECT_TRUE(printer_.WaitForClose()) << "the program's end closes the connection";
    EXPECT_EQ(printer_.Received().size(), print.size() + 150) << "nothing more on the line";
}

TEST_F(NetworkPrinterSession, ARefusedConnectionIsReportedWithItsNumber) {
    table_.Link(3, "tcp:127.0.0.1:" + std::to_string(UnusedLoopbackPort()));
    start();
    keys("Enter");
    ASSERT_TRUE(shows("Unable to open COM3:, Error No.=1225")) << session_->capture();
    keys("Enter");
    ASSERT_TRUE(goneFromScreen("Unable to open")) << session_->capture();
    quit();
}

TEST_F(NetworkPrinterSession, AConnectionThatHangsShowsTheWaitAndEscCancelsIt) {
    SilentListener silent;
    ASSERT_TRUE(silent.ok());
    table_.Link(3, silent.target());
    start();
    keys("Enter");
    ASSERT_TRUE(shows("Connecting COM3 to network printer 127.0.0.1:" +
                      std::to_string(silent.port()) + " \xC2\xB7 Esc cancels"))
        << session_->capture();
    keys("Escape");
    ASSERT_TRUE(shows("Unable to open COM3:, Error No.=995")) << session_->capture();
    keys("Enter");
    ASSERT_TRUE(goneFromScreen("Unable to open")) << session_->capture();
    quit();
}

TEST_F(NetworkPrinterSession, APrinterThatHangsUpMidJobGivesOneMessageAndTheNextPrintReconnects) {
    start();
    const std::size_t job = loadLongFile();
    printer_.HangUpAfter(8192);
    clickPrint();
    ASSERT_TRUE(shows("Can't Send Data to Printer!")) << session_->capture();
    keys("Enter");
    ASSERT_TRUE(goneFromScreen("Can't Send")) << session_->capture();
    std::this_thread::sleep_for(std::chrono::milliseconds(300)); // room for a wrong second box
    EXPECT_EQ(session_->capture().find("Can't Send"), std::string::npos) << "one message per job";
    const std::size_t before = printer_.Received().size();
    ASSERT_LT(before, job);

    clickPrint();
    ASSERT_TRUE(printer_.WaitForBytes(before + job)) << session_->capture();
    EXPECT_EQ(printer_.Connections(), 2) << "the next Print connects again";
    EXPECT_EQ(session_->capture().find("Can't Send"), std::string::npos);
    quit();
}

TEST_F(NetworkPrinterSession, APrinterThatStopsReadingShowsTheWaitAndEscCancelsTheJob) {
    start();
    loadLongFile();
    printer_.Stall(true);
    clickPrint();
    ASSERT_TRUE(shows("Printing on COM3:")) << session_->capture();
    ASSERT_TRUE(shows("Esc cancels")) << session_->capture();
    keys("Escape");
    ASSERT_TRUE(shows("Can't Send Data to Printer!")) << session_->capture();
    keys("Enter");
    ASSERT_TRUE(goneFromScreen("Can't Send")) << session_->capture();
    EXPECT_EQ(session_->capture().find("Esc cancels"), std::string::npos);
    EXPECT_EQ(printer_.Connections(), 1);
    quit();
}

TEST_F(NetworkPrinterSession, ASecondProgramOnTheSamePortIsRefusedWhileTheFirstHoldsIt) {
    start();
    keys("Enter"); // the first program connects and keeps the connection
    ASSERT_TRUE(printer_.WaitForBytes(22)) << session_->capture();

    TmuxSession second("export LC_ALL=C.UTF-8 TERM=tmux-256color\n" + ProgramCommand(table_) +
                       "\nexec sleep 600\n");
    ASSERT_TRUE(second.started());
    ASSERT_TRUE(second.waitForScreen("Tallyroll (2.0)")) << second.capture();
    second.sendKeys("Enter");
    ASSERT_TRUE(second.waitForScreen("Unable to open COM3:, Error No.=5")) << second.capture();
    EXPECT_EQ(printer_.Connections(), 1) << "the refused program never reached the printer";
    second.sendKeys("Enter");
    second.sendKeys("Escape");
    quit();
}

} // namespace
