// A program that cannot show its form says why on standard error and fails
// with status 1: no terminal at all, a terminal type nobody knows, and a
// terminal that cannot move its cursor (which would draw garbage).
#include "tests/support/shell_command.h"

#include <array>
#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Outcome {
    int status = -1;
    std::string said; // everything the program wrote to its terminal
};

// Runs the program on a fresh pseudo-terminal with TERM set to term.
Outcome RunOnTerminal(const char* term) {
    Outcome outcome;
    int master = -1;
    const pid_t pid = ::forkpty(&master, nullptr, nullptr, nullptr);
    if (pid == 0) {
        ::setenv("TERM", term, 1);
        ::execl(TALLYROLL_BINARY, TALLYROLL_BINARY, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    if (pid < 0) {
        return outcome;
    }
    std::array<char, 4096> buffer{};
    for (;;) {
        pollfd ready{master, POLLIN, 0};
        if (::poll(&ready, 1, 5000) <= 0) {
            ::kill(pid, SIGKILL); // a program that waits here has failed the test
            break;
        }
        const ssize_t n = ::read(master, buffer.data(), buffer.size());
        if (n <= 0) {
            break;
        }
        outcome.said.append(buffer.data(), static_cast<std::size_t>(n));
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(master);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

TEST(StartFailure, ATerminalThatCannotMoveItsCursorIsRefused) {
    const Outcome outcome = RunOnTerminal("dumb");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.said.find("cannot move its cursor"), std::string::npos) << outcome.said;
    EXPECT_EQ(outcome.said.find("Tallyroll (2.0)"), std::string::npos) << "no form drawn";
}

TEST(StartFailure, AnUnknownTerminalTypeIsRefused) {
    const Outcome outcome = RunOnTerminal("no-such-terminal-type");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.said.find("check TERM"), std::string::npos) << outcome.said;
}

TEST(StartFailure, NoTerminalAtAllIsRefused) {
    const auto [said, status] =
        testing_support::RunShellCommand("'" TALLYROLL_BINARY "' </dev/null 2>&1");
    EXPECT_EQ(status, 1);
    EXPECT_NE(said.find("needs a terminal"), std::string::npos) << said;
}

} // namespace
