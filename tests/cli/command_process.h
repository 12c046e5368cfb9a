// The program run as a command from a test: its arguments, what it reads on
// standard input, its environment, and where its standard error goes;
// answers its exit status (128 + n after signal n) and what it wrote.
#pragma once

#include "tests/support/temp_folder.h"

#include <chrono>
#include <string>
#include <sys/types.h>
#include <thread>
#include <utility>
#include <vector>

namespace cli_test {

struct CommandResult {
    int status = -1;
    std::string out;
    std::string err;
};

struct CommandSetup {
    std::vector<std::string> args;                                // after the program's name
    std::string input;                                            // standard input, through a pipe
    std::vector<std::pair<std::string, std::string>> environment; // added or replaced
    int errorFd = -1;          // standard error: this descriptor, else a file read back
    int outputFd = -1;         // standard output: this descriptor, else a file read back
    bool outputUnread = false; // standard output: a pipe whose reader has gone
};

class CommandProcess {
public:
    explicit CommandProcess(const CommandSetup& setup);
    ~CommandProcess();
    CommandProcess(const CommandProcess&) = delete;
    CommandProcess& operator=(const CommandProcess&) = delete;

    pid_t pid() const { return pid_; }
    CommandResult Wait();
    // Waits at most bound for the program to end; a program still running
    // then is killed, and the answer says it did not end by itself.
    CommandResult WaitAtMost(std::chrono::seconds bound, bool& endedByItself);

private:
    testing_support::TempFolder folder_{"tallyroll-command"};
    pid_t pid_ = -1;
    std::thread feeder_;
    bool waited_ = false;
};

// Runs it to its end.
CommandResult RunCommand(const CommandSetup& setup);

} // namespace cli_test
