// The program in a real terminal, with what a person does around a job:
// loading a file through the "..." dialog and printing it, and a printer that
// stops reading: the wait shows, Esc cancels it, keys pressed meanwhile are
// dropped, and a signal or a closed terminal ends the program promptly.
#include "program_command.h"
#include "session_checks.h"
#include "terminal_fixture.h"
#include "tests/support/pty_printer.h"

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <ostream>
#include <poll.h>
#include <string>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace testing_support;

// Bytes typed into a terminal that its program has not read yet; -1 when
// the terminal cannot be asked.
int InputWaiting(const std::string& tty) {
    const int fd = ::open(tty.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    int waiting = -1;
    if (::ioctl(fd, FIONREAD, &waiting) != 0) {
        waiting = -1;
    }
    ::close(fd);
    return waiting;
}
using e2e::Alive;
using e2e::PortFree;
using terminal_test::TerminalProgramTest;

class ProgramSession : public TerminalProgramTest {
protected:
    void start() { startProgram(e2e::ProgramCommand(table_), "Tallyroll (2.0)", "C.UTF-8"); }
    void keys(const std::string& k) const { session_->sendKeys(k); }
    void text(const std::string& t) const { session_->sendKeys(t, true); }

    void writeFile(const std::string& path, const std::string& bytes) const {
        std::ofstream(path, std::ios::binary) << bytes;
    }

    // Opens the "..." dialog from the COM list, types path, and waits for the
    // form to show what was loaded.
    void load(const std::string& path, const std::string& shownText) {
        keys("BTab BTab Space"); // COM -> Printer -> "..."
        ASSERT_TRUE(session_->waitForScreen("Files of type")) << session_->capture();
        text(path);
        keys("Enter");
        ASSERT_TRUE(session_->waitForScreen(shownText)) << session_->capture();
    }

    void clickPrint() const {
        int column = -1, row = -1;
        ASSERT_TRUE(terminal_test::WaitUntil(
            [&] { return session_->findOnScreen("Print\xC2\xAB", column, row); },
            std::chrono::seconds(10)))
            << session_->capture();
        const std::string at{static_cast<char>(column + 33), static_cast<char>(row + 33)};
        session_->sendBytes("\033[M\x20" + at + "\033[M\x23" + at);
    }

    DeviceTable table_;
};

TEST_F(ProgramSession, AWesternFileLoadedThroughTheDialogPrintsItsOwnBytes) {
    PtyPrinter port;
    table_.Link(3, port.path());
    start();
    const std::string file = session_->dir() + "/accents.txt";
    const std::string bytes = "Gr\xFC\xDF Gott, caf\xE9 \x80 5";
    writeFile(file, bytes);
    load(file, "Gott, caf\xC3\xA9"); // the form shows it as UTF-8
    EXPECT_TRUE(session_->waitForScreen("accents.txt")) << "the file box shows the path";
    clickPrint();
    const Bytes expected = e2e::PlainPrint(bytes);
    ASSERT_TRUE(port.WaitForBytes(expected.size())) << session_->capture();
    EXPECT_EQ(port.Drain(), expected);
    keys("Escape");
    EXPECT_EQ(ended(), 0);
    expectTerminalRestored();
}

// A "file" that never ends (the kernel's page map of the reader) loads like
// any other until the user cancels it; the form then goes on.
TEST_F(ProgramSession, AnEndlessFileCanBeCancelledLikeAnyLoad) {
    start();
    const std::string file = session_->dir() + "/endless.txt";
    ASSERT_EQ(::symlink("/proc/self/pagemap", file.c_str()), 0);
    keys("BTab BTab Space"); // COM -> Printer -> "..."
    ASSERT_TRUE(session_->waitForScreen("Files of type")) << session_->capture();
    text(file);
    keys("Enter");
    ASSERT_TRUE(session_->waitForScreen("Loading endless.txt: ")) << session_->capture();
    keys("Escape");
    ASSERT_TRUE(terminal_test::WaitUntil(
        [&] { return session_->capture().find("Esc cancels") == std::string::npos; },
        std::chrono::seconds(5)))
        << session_->capture();
    // The text so far is kept, and said to be only a part of the file.
    ASSERT_TRUE(session_->waitForScreen("Loading was cancelled: only the first"))
        << session_->capture();
    keys("Enter");
    EXPECT_TRUE(session_->waitForScreen("endless.txt")) << "the file box names the file";
    keys("Escape"); // Quit: the form answers keys again
    EXPECT_EQ(ended(), 0);
    expectTerminalRestored();
}

// A Print of a file far larger than a stalled printer's line holds: the job
// waits, and the form says so at the bottom of the terminal.
class StalledJob : public ProgramSession {
protected:
    void SetUp() override {
        ProgramSession::SetUp();
        if (IsSkipped()) {
            return;
        }
        ASSERT_FALSE(printer_.path().empty());
        table_.Link(3, printer_.path());
        start();
        const std::string file = session_->dir() + "/long.txt";
        const std::string line(99, 'x');
        for (int i = 0; i < 2000; ++i) { // 200 KB
            bytes_ += line + "\n";
        }
        writeFile(file, bytes_);
        load(file, "long.txt");
        clickPrint();
        ASSERT_TRUE(session_->waitForScreen("Printing on COM3:")) << session_->capture();
        ASSERT_TRUE(session_->waitForScreen("Esc cancels")) << session_->capture();
    }
    // Lead-in, format block, the text with its line end, two zero bytes.
    std::size_t jobSize() const { return 2 + 16 + bytes_.size() + 4; }

    // Takes nothing until told to, so that a large job blocks in its write.
    PtyPrinter printer_{PtyPrinter::Start::Stalled};
    std::string bytes_;
};

TEST_F(StalledJob, EscCancelsTheJobWithItsMessageAndTheFormGoesOn) {
    keys("Escape");
    ASSERT_TRUE(session_->waitForScreen("Can't Send Data to Printer!")) << session_->capture();
    keys("Enter"); // the message box's OK
    ASSERT_TRUE(terminal_test::WaitUntil(
        [&] { return session_->capture().find("Can't Send") == std::string::npos; },
        std::chrono::seconds(5)))
        << session_->capture();
    EXPECT_EQ(session_->capture().find("Esc cancels"), std::string::npos)
        << "the report of the wait is gone once the form is back";
    EXPECT_TRUE(Alive(programPid())) << "a cancelled job leaves the program running";
    keys("Escape"); // Quit
    EXPECT_EQ(ended(), 0);
    expectTerminalRestored();
}

// Ctrl+C is a dialog box's copy key: it cancels a wait, as Esc does, and
// never ends the program; one pressed after the wait reaches the message box.
TEST_F(StalledJob, CtrlCCancelsTheWaitAndASecondOneOnlySaysHowToCloseTheMessage) {
    keys("C-c");
    ASSERT_TRUE(session_->waitForScreen("Can't Send Data to Printer!")) << session_->capture();
    EXPECT_TRUE(Alive(programPid())) << "the first Ctrl+C only cancels the wait";
    keys("C-c");
    EXPECT_TRUE(session_->waitForScreen("Nothing to copy \xC2\xB7 Esc closes this window"))
        << session_->capture();
    EXPECT_TRUE(Alive(programPid())) << "the second Ctrl+C ended the program";
    keys("Enter"); // the message box's OK
    ASSERT_TRUE(terminal_test::WaitUntil(
        [&] { return session_->capture().find("Can't Send") == std::string::npos; },
        std::chrono::seconds(5)))
        << session_->capture();
    keys("Escape"); // Quit
    EXPECT_EQ(ended(), 0);
    expectTerminalRestored();
}

TEST_F(StalledJob, KeysPressedDuringTheWaitAreDroppedNotReplayed) {
    keys("Enter");
    keys("Enter");
    keys("Space");
    // The keys reach the program while it still waits: tmux hands them over
    // in its own time, and only what the program read is what it dropped.
    ASSERT_TRUE(terminal_test::WaitUntil(
        [&] { return InputWaiting(session_->paneFormat("#{pane_tty}")) == 0; },
        std::chrono::seconds(5)));
    // The printer takes the whole job; the keys must not start more jobs.
    printer_.Resume();
    ASSERT_TRUE(terminal_test::WaitUntil([&] { return printer_.ReceivedSize() >= jobSize(); },
                                         std::chrono::seconds(20)))
        << printer_.ReceivedSize();
    ASSERT_TRUE(terminal_test::WaitUntil(
        [&] { return session_->capture().find("Esc cancels") == std::string::npos; },
        std::chrono::seconds(5)));
    std::this_thread::sleep_for(std::chrono::milliseconds(500)); // room for a wrong second job
    EXPECT_EQ(printer_.ReceivedSize(), jobSize());
    keys("Escape");
    EXPECT_EQ(ended(), 0);
}

TEST_F(StalledJob, ClosingTheTerminalEndsTheProgramAndFreesThePort) {
    const pid_t pid = programPid();
    session_->closeTerminal();
    EXPECT_TRUE(terminal_test::WaitUntil([&] { return !Alive(pid); }, std::chrono::seconds(2)))
        << "still running after its terminal went away";
    EXPECT_TRUE(terminal_test::WaitUntil([&] { return PortFree(printer_.path()); },
                                         std::chrono::seconds(2)));
}

struct SignalCase {
    int signal;
    const char* name;
};

class SignalDuringAWait : public StalledJob, public testing::WithParamInterface<SignalCase> {};

TEST_P(SignalDuringAWait, EndsTheProgramWithinASecondAsTheSignalWould) {
    const auto sent = std::chrono::steady_clock::now();
    ASSERT_EQ(::kill(programPid(), GetParam().signal), 0);
    EXPECT_TRUE(session_->waitForFile("rc", std::chrono::seconds(2))) << session_->capture();
    EXPECT_LT(std::chrono::steady_clock::now() - sent, std::chrono::milliseconds(1500));
    EXPECT_EQ(ended(), 128 + GetParam().signal);
    expectTerminalRestored();
    EXPECT_TRUE(PortFree(printer_.path()));
}

INSTANTIATE_TEST_SUITE_P(Signals, SignalDuringAWait,
                         testing::Values(SignalCase{SIGINT, "INT"}, SignalCase{SIGTERM, "TERM"},
                                         SignalCase{SIGHUP, "HUP"}),
                         [](const auto& param) { return std::string(param.param.name); });

// Fills the terminal's output buffer from outside, so that the next write
// of the program to it blocks, as on a terminal that stopped reading.
void FillOutputOf(const std::string& tty) {
    const int fd = ::open(tty.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0) << tty;
    const std::string filler(4096, '.');
    while (::write(fd, filler.data(), filler.size()) > 0) {
    }
    ::close(fd);
}

bool HasRoom(const std::string& tty) {
    const int fd = ::open(tty.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
    pollfd room{fd, POLLOUT, 0};
    const bool has = fd >= 0 && ::poll(&room, 1, 0) == 1;
    ::close(fd);
    return has;
}

// Whether the process sits in a write to its standard output. Answers
// nullopt where the kernel does not tell (another user's process, a
// restricted /proc).
std::optional<bool> WritingToStandardOutput(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/syscall");
    long number = -1;
    std::string firstArgument;
    if (!(in >> number >> firstArgument)) {
        return std::nullopt;
    }
    return number == SYS_write && firstArgument == "0x1";
}

struct FrozenCase {
    int signal;
    int times;
    const char* name;
};

void PrintTo(const FrozenCase& frozen, std::ostream* out) {
    *out << frozen.name;
}

// A terminal that stops reading (a frozen emulator, an SSH session whose
// buffer is full) after a Print opened the port: the program blocks in its
// next write to the terminal. A stop signal, once or repeated, still ends it
// as the signal would, with the port released and the terminal's settings
// put back (the reset sequence has no room and is dropped).
class FrozenTerminal : public ProgramSession, public testing::WithParamInterface<FrozenCase> {};

TEST_P(FrozenTerminal, AStopSignalStillEndsTheProgramAndFreesThePort) {
    PtyPrinter port;
    table_.Link(3, port.path());
    start();
    const std::string file = session_->dir() + "/short.txt";
    writeFile(file, "frozen\n");
    load(file, "short.txt");
    clickPrint();
    ASSERT_TRUE(port.WaitForBytes(2 + 16 + 6)) << session_->capture();
    ASSERT_FALSE(PortFree(port.path())) << "the program holds the port after its Print";

    const pid_t pid = programPid();
    const std::string tty = session_->paneFormat("#{pane_tty}");
    session_->freeze();
    // The kernel moves part of what is queued on to the terminal's side a
    // moment later, which makes room again: fill until the program sits in
    // a write to its terminal and no room is left behind it. A resize makes
    // it draw everything again.
    ASSERT_TRUE(terminal_test::WaitUntil(
        [&] {
            FillOutputOf(tty);
            const std::optional<bool> writing = WritingToStandardOutput(pid);
            if (writing.value_or(false) && !HasRoom(tty)) {
                return true;
            }
            (void)::kill(pid, SIGWINCH);
            return !writing.has_value(); // no way to tell: one redraw must do
        },
        std::chrono::seconds(10)));
    for (int i = 0; i < GetParam().times; ++i) {
        ASSERT_EQ(::kill(pid, GetParam().signal), 0);
    }
    EXPECT_TRUE(terminal_test::WaitUntil([&] { return !Alive(pid); }, std::chrono::seconds(5)))
        << "still running with a terminal that does not read";
    EXPECT_TRUE(PortFree(port.path()));
    // The shell in the pane says how the program ended, on the terminal.
    session_->thaw();
    EXPECT_EQ(ended(), 128 + GetParam().signal);
    EXPECT_EQ(session_->readFile("before"), session_->readFile("after"));
}

INSTANTIATE_TEST_SUITE_P(Signals, FrozenTerminal,
                         testing::Values(FrozenCase{SIGTERM, 1, "TermOnce"},
                                         FrozenCase{SIGHUP, 1, "HupOnce"},
                                         FrozenCase{SIGINT, 1, "IntOnce"},
                                         FrozenCase{SIGTERM, 3, "TermRepeated"}),
                         [](const auto& param) { return std::string(param.param.name); });

} // namespace
