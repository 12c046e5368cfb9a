// The backend run with no arguments, as CUPS runs it to list devices: each
// link of a by-id folder is offered, and no device is opened to find it.
#include "tests/support/shell_command.h"
#include "tests/support/temp_folder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using testing_support::TempFolder;

TEST(CupsDiscovery, ListsEachByIdLinkInCupsFormAndOpensNone) {
    const TempFolder devices{"tallyroll-cups-devices"};
    devices.folder("by-id");
    const std::string byId = devices.path() + "/by-id";
    int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_NE(watch, -1);
    for (const char* name : {"usb-Maker_Roll_A1-if00-port0", "usb-Other_Serial-if00"}) {
        // A FIFO stands in for the device: opening it would be seen.
        const std::string node = devices.path() + "/" + name;
        ASSERT_EQ(::mkfifo(node.c_str(), 0600), 0);
        ASSERT_EQ(::symlink(node.c_str(), (byId + "/" + name).c_str()), 0);
        ASSERT_NE(::inotify_add_watch(watch, node.c_str(), IN_OPEN), -1);
    }
    const auto listed = testing_support::RunShellCommand("TALLYROLL_SERIAL_BY_ID='" + byId + "' " +
                                                         TALLYROLL_BACKEND);
    EXPECT_EQ(listed.status, 0);
    for (const char* name : {"usb-Maker_Roll_A1-if00-port0", "usb-Other_Serial-if00"}) {
        const std::string line = std::string("serial tallyroll:") + byId + "/" + name +
                                 R"( "Tallyroll serial printer" "Tallyroll on )" + name +
                                 R"(" "" "")" + "\n";
        EXPECT_NE(listed.output.find(line), std::string::npos) << listed.output;
    }
    char event[256];
    EXPECT_EQ(::read(watch, event, sizeof event), -1) << "a device was opened";
    ::close(watch);
}

TEST(CupsDiscovery, NoByIdFolderListsNoSerialLinks) {
    const TempFolder empty{"tallyroll-cups-devices"};
    const auto listed = testing_support::RunShellCommand("TALLYROLL_SERIAL_BY_ID='" + empty.path() +
                                                         "/none' " + TALLYROLL_BACKEND);
    EXPECT_EQ(listed.status, 0);
    EXPECT_EQ(listed.output.find("/none/"), std::string::npos) << listed.output;
}

} // namespace
