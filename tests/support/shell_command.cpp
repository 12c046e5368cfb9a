#include "shell_command.h"

#include <array>
#include <cstdio>
#include <sys/wait.h>

namespace testing_support {

CommandOutcome RunShellCommand(const std::string& command) {
    CommandOutcome outcome;
    // The shell is the point here: the tests name their own binaries and
    // redirections; nothing from outside the test reaches the command.
    FILE* pipe = ::popen(command.c_str(), "r"); // NOLINT(cert-env33-c)
    if (pipe == nullptr) {
        return outcome;
    }
    std::array<char, 1024> buffer{};
    while (const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe)) {
        outcome.output.append(buffer.data(), n);
    }
    const int status = ::pclose(pipe);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

} // namespace testing_support
