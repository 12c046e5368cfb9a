// Runs a shell command line made by the test (our own binaries and fixed
// arguments) and answers what it wrote on standard output with its exit
// status.
#pragma once

#include <string>

namespace testing_support {

struct CommandOutcome {
    std::string output;
    int status = -1; // the exit status, or -1 when it did not exit
};

CommandOutcome RunShellCommand(const std::string& command);

} // namespace testing_support
