// "tallyroll ports", "link" and "unlink" on a private device table: links
// made, listed and removed as the program reads them, and what the program
// would refuse refused before it is ever written.
#include "command_process.h"
#include "tests/support/pty_printer.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace {

using namespace testing_support;
using cli_test::CommandResult;
using cli_test::CommandSetup;
using cli_test::RunCommand;
namespace fs = std::filesystem;

class DeviceTableCommand : public ::testing::Test {
protected:
    static CommandResult run(std::vector<std::string> args, int errorFd = -1) {
        CommandSetup setup;
        setup.args = std::move(args);
        setup.errorFd = errorFd;
        return RunCommand(setup);
    }
    fs::path link(const std::string& name) const { return fs::path(table_.folder()) / name; }

    DeviceTable table_;
    PtyPrinter printer_;
};

TEST_F(DeviceTableCommand, LinksAreMadeListedAndRemoved) {
    EXPECT_NE(run({"ports"}).out.find("No port is linked"), std::string::npos);

    EXPECT_EQ(run({"link", "COM3", printer_.path()}).status, 0);
    EXPECT_EQ(run({"link", "com4:", "tcp:printer.example:9100"}).status, 0);
    EXPECT_EQ(run({"link", "5", "/dev/tallyroll-nothing-here"}).status, 0);
    EXPECT_EQ(fs::read_symlink(link("COM3")), printer_.path());
    EXPECT_EQ(fs::read_symlink(link("COM4")), "tcp:printer.example:9100");

    const CommandResult listed = run({"ports"});
    EXPECT_EQ(listed.status, 0);
    EXPECT_EQ(listed.out, "COM3  " + printer_.path() + "  (device, present)\n" +
                              "COM4  tcp:printer.example:9100  (network printer "
                              "printer.example:9100, reached when a job runs)\n"
                              "COM5  /dev/tallyroll-nothing-here  (device, missing)\n");

    // A link made again points at the new target.
    EXPECT_EQ(run({"link", "COM3", "bt:00:11:22:33:44:55/2"}).status, 0);
    EXPECT_EQ(fs::read_symlink(link("COM3")), "bt:00:11:22:33:44:55/2");

    EXPECT_EQ(run({"unlink", "COM3"}).status, 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link("COM3"))));
    EXPECT_EQ(run({"unlink", "COM3"}).status, 1) << "nothing left to unlink";
    EXPECT_TRUE(printer_.Drain().empty()) << "no device is ever opened";
}

TEST_F(DeviceTableCommand, WhatTheProgramWouldRefuseIsRefused) {
    const CommandResult outside = run({"link", "COM10", printer_.path()});
    EXPECT_EQ(outside.status, 1);
    EXPECT_NE(outside.err.find("COM1 to COM9"), std::string::npos) << outside.err;

    EXPECT_EQ(run({"link", "COM3", "tcp:nohost"}).status, 1);
    EXPECT_EQ(run({"link", "COM3", "bt:00:11"}).status, 1);

    // The terminal the command runs in is never a printer.
    const CommandResult own = run({"link", "COM3", printer_.path()}, printer_.slave_fd());
    EXPECT_EQ(own.status, 1);
    EXPECT_EQ(run({"link", "COM3", "/dev/tty"}).status, 1);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link("COM3"))));

    // A file that is not a link is not the command's to replace.
    fs::create_directories(table_.folder());
    TouchFile(link("COM6").string());
    EXPECT_EQ(run({"link", "COM6", printer_.path()}).status, 1);
    EXPECT_EQ(run({"unlink", "COM6"}).status, 1);
    EXPECT_TRUE(fs::is_regular_file(link("COM6")));

    EXPECT_EQ(run({"link", "COM3"}).status, 2);
    EXPECT_EQ(run({"ports", "extra"}).status, 2);
}

} // namespace
