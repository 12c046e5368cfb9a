// The form in a real terminal and "tallyroll print" from a shell, given the
// same choices and the same text, put the same bytes on the printer's line;
// and while the form holds the port, a command is kept out of it.
#include "program_command.h"
#include "terminal_fixture.h"
#include "tests/support/pty_printer.h"
#include "tests/support/shell_command.h"

#include <fstream>
#include <string>

namespace {

using namespace testing_support;
using terminal_test::TerminalProgramTest;

class CommandAndForm : public TerminalProgramTest {
protected:
    void SetUp() override {
        TerminalProgramTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        table_.Link(3, port_.path());
    }

    void start(const std::string& locale) {
        startProgram(e2e::ProgramCommand(table_), "Tallyroll (2.0)", locale);
    }
    void keys(const std::string& k) const { session_->sendKeys(k); }

    // The form's "..." from the COM list, with path typed into the dialog.
    void load(const std::string& path, const std::string& shownText) {
        keys("BTab BTab Space");
        ASSERT_TRUE(session_->waitForScreen("Files of type")) << session_->capture();
        session_->sendKeys(path, true);
        keys("Enter");
        ASSERT_TRUE(session_->waitForScreen(shownText)) << session_->capture();
    }

    // Waits for the form's job of n bytes and answers it.
    Bytes formJob(std::size_t n) {
        EXPECT_TRUE(port_.WaitForBytes(before_ + n)) << session_->capture();
        return port_.Drain();
    }

    // The command's job on the port, with its status and what it said.
    Bytes commandJob(const std::string& shellWords, int expectedStatus = 0) {
        const CommandOutcome outcome =
            RunShellCommand(shellWords + " '" TALLYROLL_BINARY "' print 2>&1 " + arguments_);
        EXPECT_EQ(outcome.status, expectedStatus) << outcome.output;
        said_ = outcome.output;
        return port_.Drain();
    }

    std::string writeFile(const std::string& name, const std::string& bytes) const {
        std::string path = session_->dir() + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    DeviceTable table_;
    PtyPrinter port_;
    std::string arguments_;
    std::string said_;
    std::size_t before_ = 0; // what the line carried before the form's job
};

TEST_F(CommandAndForm, TypedTextWithAFormatAndTheSameTextFromAPipe) {
    start("C.UTF-8");
    // Tab to the text box, type AB; Width x2; Underline; Enter is Print.
    keys("Tab");
    session_->sendKeys("AB", true);
    keys("Tab Down Tab Tab Space");
    ASSERT_TRUE(session_->waitForScreen("[x] Underline")) << session_->capture();
    keys("Enter");
    const Bytes form = formJob(24);

    // The form keeps its connection between jobs: the port is in use.
    arguments_ = "-c 3";
    EXPECT_TRUE(commandJob("printf AB |", 1).empty());
    EXPECT_EQ(said_, "tallyroll: Unable to open COM3:, Error No.=5\n");
    keys("Escape");
    EXPECT_EQ(ended(), 0);

    arguments_ = "-w 2 --underline";
    EXPECT_EQ(commandJob("printf AB |"), form);
    const CommandOutcome preview =
        RunShellCommand("printf AB | '" TALLYROLL_BINARY "' print -w x2 -u -o -");
    EXPECT_EQ(ToBytes(preview.output), form);
}

// A file loaded through "..." and printed, and the same file given to the
// command: in the Western code page, and GBK text in a Chinese locale.
TEST_F(CommandAndForm, AFileLoadedThroughTheDialogAndTheSameFileGivenToTheCommand) {
    struct Case {
        std::string locale;
        std::string bytes;
        std::string shown; // as the form shows it
    };
    for (const Case& c : {Case{"C.UTF-8", "Gr\xFC\xDF Gott, caf\xE9 \x80 5", "Gott, caf\xC3\xA9"},
                          Case{"zh_CN.UTF-8", "ok \xD6\xD0\xCE\xC4 ok", "ok \xE4\xB8\xAD"}}) {
        SCOPED_TRACE(c.locale);
        start(c.locale);
        const std::string file = writeFile("text.txt", c.bytes);
        load(file, c.shown);
        before_ = port_.ReceivedSize();
        keys("Tab Enter"); // from "..." to Print, and press it
        const Bytes form = formJob(2 + 16 + c.bytes.size() + 4);
        keys("Escape");
        EXPECT_EQ(ended(), 0);

        arguments_ = "'" + file + "'";
        EXPECT_EQ(commandJob("LC_ALL=" + c.locale), form);
        session_.reset();
    }
}

} // namespace
