// The program in a real terminal, with what a person does around a job:
// loading a file through the "..." dialog and printing it, and a signal that
// arrives while a job waits for a printer that does not read.
#include "terminal_fixture.h"
#include "tests/posix/virtual_port.h"

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <pty.h>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace testing_support;
using terminal_test::TerminalProgramTest;

class ProgramSession : public TerminalProgramTest {
protected:
    void start() {
        startProgram("TALLYROLL_DEVICES='" + table_.folder() +
                         "' sh -c 'echo $$ > \"$1/pid\"; exec \"$0\"' '" TALLYROLL_BINARY
                         "' \"$DIR\"",
                     "Tallyroll (2.0)", "C.UTF-8");
    }
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
        ASSERT_TRUE(session_->findOnScreen("Print\xC2\xAB", column, row)) << session_->capture();
        const std::string at{static_cast<char>(column + 33), static_cast<char>(row + 33)};
        session_->sendBytes("\033[M\x20" + at + "\033[M\x23" + at);
    }

    DeviceTable table_;
};

const Bytes kQelvoPlain = ToBytes({0x00, 0x1B, 0x55, 0x01, 0x1B, 0x56, 0x01, 0x1B, 0x2D, 0x00, 0x1B,
                                   0x63, 0x00, 0x1B, 0x69, 0x00});

TEST_F(ProgramSession, AWesternFileLoadedThroughTheDialogPrintsItsOwnBytes) {
    VirtualPort port;
    table_.Link(3, port.path());
    start();
    const std::string file = session_->dir() + "/accents.txt";
    const std::string bytes = "Gr\xFC\xDF Gott, caf\xE9 \x80 5";
    writeFile(file, bytes);
    load(file, "Gott, caf\xC3\xA9"); // the form shows it as UTF-8
    EXPECT_TRUE(session_->waitForScreen("accents.txt")) << "the file box shows the path";
    clickPrint();
    const Bytes expected =
        Join({ToBytes({0, 0}), kQelvoPlain, ToBytes(bytes), ToBytes({0x0D, 0x0A, 0, 0})});
    ASSERT_TRUE(port.WaitForBytes(expected.size())) << session_->capture();
    EXPECT_EQ(port.Drain(), expected);
    keys("Escape");
    EXPECT_EQ(ended(), 0);
    expectTerminalRestored();
}

// A printer that takes nothing until told to: the pty's master is not read,
// so a large job blocks in its write.
class StalledPrinter {
public:
    StalledPrinter() {
        char name[256] = {};
        if (::openpty(&master_, &slave_, name, nullptr, nullptr) == 0) {
            path_ = name;
            termios raw{};
            ::tcgetattr(slave_, &raw);
            ::cfmakeraw(&raw);
            ::tcsetattr(slave_, TCSANOW, &raw);
        }
    }
    ~StalledPrinter() {
        stop_ = true;
        if (reader_.joinable()) {
            reader_.join();
        }
        ::close(master_);
        ::close(slave_);
    }
    const std::string& path() const { return path_; }
    // Starts taking bytes until count have come.
    void resume(std::size_t count) {
        reader_ = std::thread([this, count] {
            char buffer[4096];
            while (received_ < count && !stop_) {
                pollfd ready{master_, POLLIN, 0};
                if (::poll(&ready, 1, 100) <= 0) {
                    continue;
                }
                const ssize_t n = ::read(master_, buffer, sizeof buffer);
                if (n <= 0) {
                    break;
                }
                received_ += static_cast<std::size_t>(n);
            }
        });
    }
    std::size_t received() const { return received_.load(); }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
    std::thread reader_;
    std::atomic<std::size_t> received_ = 0;
    std::atomic<bool> stop_ = false;
};

// Whether the process sits in a write system call (number 1 on x86-64).
bool BlockedInWrite(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/syscall");
    std::string number;
    in >> number;
    return number == "1";
}

struct SignalCase {
    int signal;
    const char* name;
};

class SignalDuringAJob : public ProgramSession, public testing::WithParamInterface<SignalCase> {};

TEST_P(SignalDuringAJob, EndsTheProgramOnceTheJobIsDoneAndLeavesTheTerminalSane) {
    StalledPrinter printer;
    ASSERT_FALSE(printer.path().empty());
    table_.Link(3, printer.path());
    start();
    const std::string file = session_->dir() + "/long.txt";
    const std::string line(99, 'x');
    std::string bytes;
    for (int i = 0; i < 2000; ++i) { // 200 KB: far more than the line holds
        bytes += line + "\n";
    }
    writeFile(file, bytes);
    load(file, "long.txt");
    clickPrint();
    // The job is blocked in its write; the signal asks the program to stop.
    ASSERT_TRUE(terminal_test::WaitUntil([&] { return BlockedInWrite(programPid()); },
                                         std::chrono::seconds(10)))
        << session_->capture();
    ASSERT_EQ(::kill(programPid(), GetParam().signal), 0);
    EXPECT_FALSE(session_->waitForFile("rc", std::chrono::milliseconds(500)))
        << "the job is still writing: the program must not end under it";
    // The printer takes the whole job (lead-in, block, text, CR LF, 00 00).
    const std::size_t total = 2 + 16 + bytes.size() + 4;
    printer.resume(total);
    EXPECT_EQ(ended(), 0);
    expectTerminalRestored();
    EXPECT_EQ(printer.received(), total); // the job was not cut short
}

INSTANTIATE_TEST_SUITE_P(Signals, SignalDuringAJob,
                         testing::Values(SignalCase{SIGINT, "INT"}, SignalCase{SIGTERM, "TERM"},
                                         SignalCase{SIGHUP, "HUP"}),
                         [](const auto& param) { return std::string(param.param.name); });

} // namespace
