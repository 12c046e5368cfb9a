// tools/format.sh on a small tree of its own, laid out as the project's,
// with the project's .clang-format: --check names exactly the files off the
// style and changes nothing; a plain run brings them to the style; build/ is
// never looked at.
#include "tests/support/shell_command.h"
#include "tests/support/temp_folder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace {

using testing_support::RunShellCommand;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

const char* const kGood = "int Answer() {\n    return 42;\n}\n";
const char* const kBadLayout = "int  Answer( ){return 42;}\n";
const char* const kUnsorted =
    "#pragma once\n\n#include <vector>\n#include \"b.h\"\n#include \"a.h\"\n";
const char* const kSorted =
    "#pragma once\n\n#include \"a.h\"\n#include \"b.h\"\n\n#include <vector>\n";

class FormatScript : public testing::Test {
protected:
    void SetUp() override {
        if (RunShellCommand("command -v clang-format-14 >/dev/null").status != 0) {
            GTEST_SKIP() << "clang-format-14 is not installed (tools/deps.sh installs it)";
        }
        const std::string source = TALLYROLL_SOURCE_DIR;
        for (const char* file : {"tools/format.sh", "tools/script_usage.sh", ".clang-format"}) {
            tree_.file(file, ReadFile(source + "/" + file));
        }
        tree_.file("engine/good.cpp", kGood);
        tree_.file("platform/kernel32/bad_layout.cpp", kBadLayout);
        tree_.file("tests/area/unsorted.h", kUnsorted);
        tree_.file("build/ci/generated.cpp", kBadLayout);
    }

    testing_support::CommandOutcome Run(const std::string& arguments) const {
        return RunShellCommand("cd '" + tree_.path() + "' && bash tools/format.sh " + arguments +
                               " 2>&1 </dev/null");
    }
    std::string Read(const std::string& relative) const {
        return ReadFile(tree_.path() + "/" + relative);
    }

    testing_support::TempFolder tree_{"tallyroll-format"};
};

TEST_F(FormatScript, CheckNamesTheFilesOffTheStyleAndChangesNothing) {
    const auto outcome = Run("--check");
    EXPECT_EQ(outcome.status, 1) << outcome.output;
    EXPECT_NE(outcome.output.find("2 of 3 files differ"), std::string::npos) << outcome.output;
    // A layout that differs, and includes out of their blocks' order.
    EXPECT_NE(outcome.output.find("platform/kernel32/bad_layout.cpp"), std::string::npos);
    EXPECT_NE(outcome.output.find("tests/area/unsorted.h"), std::string::npos);
    EXPECT_EQ(outcome.output.find("good.cpp"), std::string::npos);
    EXPECT_EQ(outcome.output.find("generated.cpp"), std::string::npos);
    EXPECT_EQ(Read("platform/kernel32/bad_layout.cpp"), kBadLayout);
    EXPECT_EQ(Read("tests/area/unsorted.h"), kUnsorted);
}

TEST_F(FormatScript, FormattingBringsEveryFileToTheStyleAndLeavesBuildAlone) {
    const auto formatted = Run("");
    ASSERT_EQ(formatted.status, 0) << formatted.output;
    EXPECT_EQ(Read("platform/kernel32/bad_layout.cpp"), kGood);
    EXPECT_EQ(Read("tests/area/unsorted.h"), kSorted) << "project headers first, then <...>";
    EXPECT_EQ(Read("engine/good.cpp"), kGood);
    EXPECT_EQ(Read("build/ci/generated.cpp"), kBadLayout);

    const auto checked = Run("--check");
    EXPECT_EQ(checked.status, 0) << checked.output;
    EXPECT_NE(checked.output.find("3 files match"), std::string::npos) << checked.output;
}

} // namespace
