// A COM link that leads to a terminal that is no printer: the program's own
// terminal (on its standard streams or as its controlling terminal), /dev/tty
// and /dev/ptmx. Each is refused with "access denied" before its settings are
// touched, and nothing is written into it. Every case runs in a child process
// attached to a fresh pseudo-terminal the way a program in a terminal is.
#include "link/port_connection.h"
#include "platform/win32/user.h"
#include "tests/support/host_fakes.h"
#include "tests/support/message_boxes.h"
#include "tests/support/pty_printer.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <iterator>
#include <poll.h>
#include <pty.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

using testing_support::DeviceTable;
using testing_support::MessageBoxRecorder;

// Boxes without an owner, as the connection shows them before a form exists.
struct TestHost : testing_support::FakePortHost {
    TestHost() : FakePortHost(nullptr) {}
};

// A pseudo-terminal with no reader thread: the tests fork, and the child
// should inherit nothing that runs.
struct Terminal {
    Terminal() {
        char name[256] = {};
        if (::openpty(&master, &slave, name, nullptr, nullptr) == 0) {
            path = name;
        }
    }
    ~Terminal() {
        ::close(master);
        ::close(slave);
    }
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    int master = -1;
    int slave = -1;
    std::string path;
};

enum class Attach {
    Nothing,             // the terminal is some other line
    StandardStreams,     // standard input, output and error
    ControllingTerminal, // a session of its own, standard streams on /dev/null
};

void AttachTo(const Terminal& terminal, Attach attach) {
    int streams = terminal.slave;
    if (attach == Attach::ControllingTerminal) {
        ::setsid();
        ::ioctl(terminal.slave, TIOCSCTTY, 0);
        streams = ::open("/dev/null", O_RDWR);
    }
    if (attach != Attach::Nothing) {
        for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
            ::dup2(streams, fd);
        }
    }
}

// Everything the terminal sent out before a marker written on it now: bytes
// written through any descriptor of the terminal come out in order.
std::string SentOut(const Terminal& terminal) {
    static const std::string kMarker = "#end-of-test#";
    (void)!::write(terminal.slave, kMarker.data(), kMarker.size());
    std::string out;
    char buffer[256];
    while (out.find(kMarker) == std::string::npos) {
        pollfd p{terminal.master, POLLIN, 0};
        if (::poll(&p, 1, 5000) <= 0) {
            return out + " (no marker)";
        }
        const ssize_t n = ::read(terminal.master, buffer, sizeof(buffer));
        if (n <= 0) {
            return out + " (read failed)";
        }
        out.append(buffer, static_cast<std::size_t>(n));
    }
    return out.substr(0, out.find(kMarker));
}

std::string Narrow(const std::u16string& s) {
    return std::string(s.begin(), s.end()); // the messages are ASCII
}

// In a child process attached to terminal: a Print's connection on COM3.
// Answers its messages, whether the terminal kept its settings, and what
// came out of the terminal.
std::string PrintInAChild(const Terminal& terminal, Attach attach) {
    int report[2];
    if (::pipe(report) != 0) {
        return "no pipe";
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(report[0]);
        AttachTo(terminal, attach);
        termios before{}, after{};
        ::tcgetattr(terminal.slave, &before);
        std::string result;
        {
            MessageBoxRecorder boxes;
            TestHost host;
            if (OpenPort(host, 3)) {
                WritePort(host, "printed", 7);
                ClosePort(host);
            }
            for (const std::u16string& text : boxes.Texts()) {
                result += Narrow(text) + " | ";
            }
        }
        ::tcgetattr(terminal.slave, &after);
        const bool kept =
            before.c_iflag == after.c_iflag && before.c_oflag == after.c_oflag &&
            before.c_cflag == after.c_cflag && before.c_lflag == after.c_lflag &&
            before.c_line == after.c_line &&
            std::equal(std::begin(before.c_cc), std::end(before.c_cc), std::begin(after.c_cc)) &&
            ::cfgetispeed(&before) == ::cfgetispeed(&after) &&
            ::cfgetospeed(&before) == ::cfgetospeed(&after);
        result += kept ? "settings kept | " : "settings changed | ";
        result += "sent out: \"" + SentOut(terminal) + "\"";
        (void)!::write(report[1], result.data(), result.size());
        ::_exit(0);
    }
    ::close(report[1]);
    std::string result;
    char buffer[256];
    ssize_t n = 0;
    while ((n = ::read(report[0], buffer, sizeof(buffer))) > 0) {
        result.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(report[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return result;
}

struct TerminalCase {
    const char* name;
    const char* target; // nullptr: the test's terminal itself
    Attach attach;
};

class LinkToATerminal : public ::testing::TestWithParam<TerminalCase> {
protected:
    DeviceTable table_;
    Terminal terminal_;
};

TEST_P(LinkToATerminal, IsRefusedWithAccessDeniedAndLeftUntouched) {
    ASSERT_FALSE(terminal_.path.empty());
    const TerminalCase& c = GetParam();
    table_.Link(3, c.target != nullptr ? c.target : terminal_.path);
    EXPECT_EQ(PrintInAChild(terminal_, c.attach),
              "Unable to open COM3:, Error No.=5 | settings kept | sent out: \"\"");
}

INSTANTIATE_TEST_SUITE_P(
    OwnAndStandIns, LinkToATerminal,
    ::testing::Values(TerminalCase{"OnTheStandardStreams", nullptr, Attach::StandardStreams},
                      TerminalCase{"TheControllingTerminal", nullptr, Attach::ControllingTerminal},
                      TerminalCase{"DevTty", "/dev/tty", Attach::ControllingTerminal},
                      TerminalCase{"DevTtyWithoutAControllingTerminal", "/dev/tty",
                                   Attach::StandardStreams},
                      TerminalCase{"DevPtmx", "/dev/ptmx", Attach::StandardStreams}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(LinkToAnotherTerminal, IsAPrinterLikeAnyLine) {
    // The same child, not attached to the terminal: the port opens, takes the
    // printer's settings and the bytes come out, so the refusals above are
    // the terminal being the program's own, not the way the child looks.
    DeviceTable table;
    Terminal terminal;
    ASSERT_FALSE(terminal.path.empty());
    table.Link(3, terminal.path);
    EXPECT_EQ(PrintInAChild(terminal, Attach::Nothing), "settings changed | sent out: \"printed\"");
}

} // namespace
