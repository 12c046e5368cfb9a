// The process entry runs a program as a Win32 start-up would: resources
// registered for the module, the four start values, the framework's main
// routine, and the program's end when initialisation answers false.
#include <array>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>

namespace {

struct Outcome {
    std::string output;
    int status = -1;
};

Outcome RunProbe(const std::string& arguments) {
    Outcome outcome;
    // The shell runs our own probe, named by the build, with the test's fixed
    // arguments: nothing from outside reaches the command.
    const std::string command = std::string("'" ENTRY_PROBE "' ") + arguments;
    FILE* pipe = popen(command.c_str(), "r"); // NOLINT(cert-env33-c)
    if (pipe == nullptr) {
        return outcome;
    }
    std::array<char, 1024> buffer{};
    while (std::size_t n = fread(buffer.data(), 1, buffer.size(), pipe)) {
        outcome.output.append(buffer.data(), n);
    }
    const int status = pclose(pipe);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

TEST(Entry, HandsTheStartValuesToTheProgramAndEndsWithTheFrameworksCode) {
    const Outcome outcome = RunProbe("one 'two words'");
    EXPECT_EQ(outcome.output, "instance=module previous=none show=1 resources=registered\n"
                              "command line=[one \"two words\"]\n"
                              "init: app=entry_probe main-state-version=600\n");
    EXPECT_EQ(outcome.status, 3); // the application's ExitInstance
}

} // namespace
