// The command line of every program and script of the project, the program
// itself included: --help (and -h) prints the usage on standard output and
// succeeds; an argument the tool does not take is named on standard error
// with the usage, fails with status 2, and starts no work (a build, a run, a
// folder made of the argument).
#include "tests/support/shell_command.h"
#include "tests/support/temp_folder.h"

#include <cctype>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using testing_support::RunShellCommand;

// How each tool is started: its program, or a script with its interpreter.
std::vector<std::string> Tools() {
    std::vector<std::string> tools;
    std::string programs = TOOL_PROGRAMS;
    for (std::size_t at = 0; at <= programs.size();) {
        const std::size_t comma = std::min(programs.find(',', at), programs.size());
        if (comma > at) {
            tools.push_back("'" + programs.substr(at, comma - at) + "'");
        }
        at = comma + 1;
    }
    const std::string root = TALLYROLL_SOURCE_DIR;
    for (const char* script :
         {"tools/coverage.sh", "tools/fuzz-smoke.sh", "tools/test-all.sh", "tools/check-deb.sh",
          "tools/tidy.sh", "tools/test-windows.sh", "tools/check-unit-label.sh", "tools/format.sh",
          "bench/figures.sh", "bench/vprinter_memory.sh"}) {
        tools.push_back("bash '" + root + "/" + script + "'");
    }
    // The code-page generator and the function lengths are run by hand,
    // where Python is; the build needs no Python.
    if (RunShellCommand("command -v python3 >/dev/null").status == 0) {
        tools.push_back("python3 '" + root + "/tools/codepages/generate.py'");
        tools.push_back("python3 '" + root + "/tools/longest-functions'");
    }
    return tools;
}

bool SaysUsage(const std::string& text) {
    std::string lower;
    for (const char c : text) {
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return lower.find("usage") != std::string::npos;
}

// Each run happens in a folder of its own, so that a tool that took an
// argument for a file or folder name would leave it there to be seen. A
// tool that started its real work instead is stopped: the bound only keeps
// a faulty tool from running a whole build, it times nothing.
class ToolUsage : public testing::Test {
protected:
    testing_support::CommandOutcome Run(const std::string& tool, const std::string& arguments,
                                        const std::string& redirections) {
        return RunShellCommand("cd '" + work_.path() + "' && timeout -k 5 120 " + tool + " " +
                               arguments + " " + redirections + " </dev/null");
    }
    bool LeftNothing() const { return std::filesystem::is_empty(work_.path()); }

    testing_support::TempFolder work_{"tallyroll-tool-usage"};
};

TEST_F(ToolUsage, HelpPrintsTheUsageAndSucceeds) {
    for (const std::string& tool : Tools()) {
        for (const char* help : {"--help", "-h"}) {
            const auto outcome = Run(tool, help, "2>/dev/null");
            EXPECT_EQ(outcome.status, 0) << tool << " " << help;
            EXPECT_TRUE(SaysUsage(outcome.output)) << tool << " " << help << ":\n"
                                                   << outcome.output;
        }
    }
    EXPECT_TRUE(LeftNothing());
}

TEST_F(ToolUsage, AnUnknownArgumentIsNamedWithTheUsageAndStartsNothing) {
    for (const std::string& tool : Tools()) {
        const auto outcome = Run(tool, "--no-such-option", "2>&1 >/dev/null");
        EXPECT_EQ(outcome.status, 2) << tool << ":\n" << outcome.output;
        EXPECT_NE(outcome.output.find("--no-such-option"), std::string::npos) << tool << ":\n"
                                                                              << outcome.output;
        EXPECT_TRUE(SaysUsage(outcome.output)) << tool << ":\n" << outcome.output;
    }
    EXPECT_TRUE(LeftNothing()) << "an option was taken for a file or folder name";
}

// As the system's own tools do: an answer that was lost is a failure that a
// script can see, whether the disk is full or standard output is closed.
TEST_F(ToolUsage, TheProgramsAnswerThatCannotBeWrittenFailsTheRun) {
    for (const char* option : {"--help", "--version"}) {
        for (const char* output : {">/dev/full", ">&-"}) {
            // Standard error into the pipe that is read, then standard
            // output elsewhere.
            const auto outcome =
                Run("'" TALLYROLL_BINARY "'", option, "2>&1 " + std::string(output));
            EXPECT_EQ(outcome.status, 1) << option << " " << output;
            EXPECT_NE(outcome.output.find("tallyroll: cannot write"), std::string::npos)
                << option << " " << output << ": " << outcome.output;
        }
    }
}

} // namespace
