// Tallyroll and the virtual printer together: the program's Print and Test go
// through a pseudo-terminal to the printer, which reads them back as the
// printed lines with their attributes.
#include "program_command.h"
#include "terminal_fixture.h"
#include "tests/support/pty_printer.h"
#include "tests/support/temp_folder.h"

#include <csignal>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using terminal_test::TerminalProgramTest;
using terminal_test::WaitUntil;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

std::vector<std::string> LinesWith(const std::string& text, const std::string& needle) {
    std::vector<std::string> found;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.find(needle) != std::string::npos) {
            found.push_back(line);
        }
    }
    return found;
}

class VirtualPrinterSession : public TerminalProgramTest {
protected:
    void TearDown() override {
        if (printer_ > 0) {
            ::kill(printer_, SIGTERM);
            ::waitpid(printer_, nullptr, 0);
        }
    }

    // Starts the virtual printer as COM3 of the private table.
    void startPrinter() {
        events_ = work_.path() + "/events.jsonl";
        printer_ = ::fork();
        if (printer_ == 0) {
            ::execl(VPRINTER_BINARY, VPRINTER_BINARY, "--port", "3", "--devices",
                    table_.folder().c_str(), "--events", events_.c_str(), "--quiet",
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ASSERT_GT(printer_, 0);
        ASSERT_TRUE(WaitUntil([&] { return !LinesWith(ReadAll(events_), "\"ready\"").empty(); },
                              std::chrono::seconds(10)));
    }
    std::string events() const { return ReadAll(events_); }

    testing_support::DeviceTable table_;
    // The printer's events, beside the table rather than in it.
    testing_support::TempFolder work_{"tallyroll-vprinter-session"};
    std::string events_;
    pid_t printer_ = -1;
};

TEST_F(VirtualPrinterSession, PrintAndTestComeOutAsTheExpectedLines) {
    startPrinter();
    startProgram(e2e::ProgramCommand(table_), "Tallyroll (2.0)", "C.UTF-8");
    // Text "AB", Width x2, Underline and Direction ticked, then Print (Enter).
    session_->sendKeys("Tab");
    session_->sendKeys("AB", true);
    session_->sendKeys("Tab Down Tab Tab Space Tab Space Enter");
    ASSERT_TRUE(WaitUntil([&] { return !LinesWith(events(), "\"job_end\"").empty(); },
                          std::chrono::seconds(10)))
        << events();
    // Back to Test (Shift+Tab from Direction: Underline, Height, Width, text,
    // COM, Printer, "...", file box, Quit, Test) and press it.
    session_->sendKeys("BTab BTab BTab BTab BTab BTab BTab BTab BTab BTab Space");
    ASSERT_TRUE(WaitUntil([&] { return LinesWith(events(), "\"job_end\"").size() == 2; },
                          std::chrono::seconds(10)))
        << events() << session_->capture();
    session_->sendKeys("Escape");
    EXPECT_EQ(ended(), 0);
    expectTerminalRestored();

    const std::string all = events();
    const auto printed = LinesWith(all, R"("event":"line")");
    ASSERT_GE(printed.size(), 4u) << all;
    // The Print: one line, twice as wide, underlined, upside down.
    EXPECT_NE(printed[0].find("\"text\":\"AB\",\"width\":2,\"height\":1,\"underline\":true,"
                              "\"upside_down\":true,\"white\":false,\"terminated\":true"),
              std::string::npos)
        << printed[0];
    // The Test: initialised, then the test text at the plain format.
    EXPECT_EQ(LinesWith(all, "\"event\":\"initialise\"").size(), 1u) << all;
    const std::vector<std::string> expected = {
        "--Use Help for Printer--",
        "   Make sure your PDA have the  BlueTooth Port or IR Port and can run well",
        "---Here,Test Ok,Thank you---"};
    for (const std::string& text : expected) {
        const auto lines = LinesWith(all, R"("text":")" + text + "\"");
        ASSERT_EQ(lines.size(), 1u) << text << "\n" << all;
        EXPECT_NE(lines[0].find("\"width\":1,\"height\":1,\"underline\":false,"
                                "\"upside_down\":false,\"white\":false"),
                  std::string::npos)
            << lines[0];
    }
    EXPECT_TRUE(LinesWith(all, "\"event\":\"unknown\"").empty()) << all;
    EXPECT_TRUE(LinesWith(all, "\"event\":\"cut\"").empty()) << all;
}

} // namespace
