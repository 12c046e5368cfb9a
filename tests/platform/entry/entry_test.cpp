// The process entry runs a program as a Win32 start-up would: resources
// registered for the module, the four start values, the framework's main
// routine, and the program's end when initialisation answers false.
#include "tests/support/shell_command.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using Outcome = testing_support::CommandOutcome;

Outcome RunProbe(const std::string& arguments) {
    return testing_support::RunShellCommand("'" ENTRY_PROBE "' " + arguments);
}

TEST(Entry, HandsTheStartValuesToTheProgramAndEndsWithTheFrameworksCode) {
    const Outcome outcome = RunProbe("one 'two words'");
    EXPECT_EQ(outcome.output, "instance=module previous=none show=1 resources=registered\n"
                              "command line=[one \"two words\"]\n"
                              "init: app=entry_probe main-state-version=600\n");
    EXPECT_EQ(outcome.status, 3); // the application's ExitInstance
}

} // namespace
