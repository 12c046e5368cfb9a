// What the start-up code hands the program: the command line after the
// program's name, quoted the Win32 way, and the name it was started by.
#include "platform/entry/start_up.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

std::u16string Line(std::vector<const char*> argv) {
    return entry::CommandLine(static_cast<int>(argv.size()), argv.data());
}

TEST(StartUp, CommandLineIsTheArgumentsAfterTheProgramName) {
    EXPECT_EQ(Line({"tallyroll"}), u"");
    EXPECT_EQ(Line({"tallyroll", "a", "b"}), u"a b");
    EXPECT_EQ(Line({"tallyroll", "notes é.txt"}), u"\"notes é.txt\"");
    EXPECT_EQ(Line({"tallyroll", ""}), u"\"\"");
    EXPECT_EQ(Line({"tallyroll", "say \"hi\""}), u"\"say \\\"hi\\\"\"");
    // Backslashes are doubled only where a quote follows them.
    EXPECT_EQ(Line({"tallyroll", "C:\\dir\\", "x"}), u"C:\\dir\\ x");
    EXPECT_EQ(Line({"tallyroll", "C:\\my dir\\"}), u"\"C:\\my dir\\\\\"");
}

TEST(StartUp, ProgramNameFallsBackWhenTheSystemGaveNone) {
    const char* argv[] = {"/usr/bin/tallyroll", nullptr};
    EXPECT_EQ(entry::ProgramName(1, argv, u"fallback"), u"/usr/bin/tallyroll");
    EXPECT_EQ(entry::ProgramName(0, argv, u"fallback"), u"fallback");
    const char* empty[] = {"", nullptr};
    EXPECT_EQ(entry::ProgramName(1, empty, u"fallback"), u"fallback");
}

TEST(StartUp, NamesThatAreNotUtf8CrossWithoutLoss) {
    // A program or file name is bytes; a byte that is not UTF-8 is kept as
    // its escape (platform/text/path_text.h), not made U+FFFD.
    const char* argv[] = {"/opt/b\xFF"
                          "d/tallyroll",
                          "caf\xE9.txt", nullptr};
    EXPECT_EQ(entry::ProgramName(1, argv, u"fallback"), u"/opt/b\xDCFF"
                                                        u"d/tallyroll");
    EXPECT_EQ(entry::CommandLine(2, argv), u"caf\xDCE9.txt");
}

} // namespace
