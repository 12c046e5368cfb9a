// What the program answers before it starts: --help lists the device table
// without opening a port, --version its version, anything else is refused.
#include "platform/entry/command_line.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class DeviceFolder : public testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("tallyroll-help-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }
    fs::path folder_;
};

TEST_F(DeviceFolder, ListsEveryPortLinkInOrderWithWhetherItsTargetIsThere) {
    std::ofstream(folder_ / "device") << "";
    fs::create_symlink(folder_ / "device", folder_ / "COM12");
    fs::create_symlink(folder_ / "device", folder_ / "COM3");
    fs::create_symlink("/nonexistent/rfcomm0", folder_ / "COM4");
    fs::create_symlink(folder_ / "device", folder_ / "notes"); // not a port
    const auto ports = entry::LinkedPorts(folder_.string());
    ASSERT_EQ(ports.size(), 3u);
    EXPECT_EQ(ports[0].name, "COM3");
    EXPECT_EQ(ports[0].target, (folder_ / "device").string());
    EXPECT_TRUE(ports[0].present);
    EXPECT_EQ(ports[1].name, "COM4");
    EXPECT_FALSE(ports[1].present);
    EXPECT_EQ(ports[2].name, "COM12");

    const std::string help = entry::HelpText(folder_.string());
    EXPECT_NE(help.find("COM4 -> /nonexistent/rfcomm0   (missing"), std::string::npos) << help;
    EXPECT_NE(help.find("device table " + folder_.string()), std::string::npos) << help;
    EXPECT_NE(help.find("ln -sf"), std::string::npos) << help;
}

TEST_F(DeviceFolder, PrinterAddressesAreListedAsPrintersNeverAsMissing) {
    fs::create_symlink("tcp:10.0.0.5:9100", folder_ / "COM5");
    fs::create_symlink("bt:00:11:22:33:44:55/2", folder_ / "COM4");
    fs::create_symlink("tcp:10.0.0.5", folder_ / "COM6");
    const auto ports = entry::LinkedPorts(folder_.string());
    ASSERT_EQ(ports.size(), 3u);
    EXPECT_EQ(ports[0].kind, entry::LinkedPort::Kind::Printer);
    EXPECT_EQ(ports[0].description, "Bluetooth printer 00:11:22:33:44:55 channel 2");
    EXPECT_EQ(ports[2].kind, entry::LinkedPort::Kind::BadAddress);
    const std::string help = entry::HelpText(folder_.string());
    EXPECT_NE(help.find("COM5 -> tcp:10.0.0.5:9100   (network printer 10.0.0.5:9100, reached "
                        "when a job runs)"),
              std::string::npos)
        << help;
    EXPECT_NE(help.find("COM4 -> bt:00:11:22:33:44:55/2   (Bluetooth printer"), std::string::npos)
        << help;
    EXPECT_NE(help.find("COM6 -> tcp:10.0.0.5   (not a printer address"), std::string::npos)
        << help;
    EXPECT_EQ(help.find("missing"), std::string::npos) << "an address is no file to miss";
    EXPECT_NE(help.find("ln -sf bt:"), std::string::npos) << help;
}

TEST_F(DeviceFolder, NeverOpensWhatALinkPointsTo) {
    // A FIFO would block an open until a peer came; listing must not wait.
    ASSERT_EQ(::mkfifo((folder_ / "fifo").c_str(), 0600), 0);
    fs::create_symlink(folder_ / "fifo", folder_ / "COM1");
    const auto ports = entry::LinkedPorts(folder_.string());
    ASSERT_EQ(ports.size(), 1u);
    EXPECT_TRUE(ports[0].present);
}

TEST(CommandLine, AnswersHelpAndVersionAndRefusesEverythingElse) {
    const char* none[] = {"tallyroll"};
    EXPECT_FALSE(entry::AnswerArguments(1, none).has_value()) << "no argument: the form";
    testing::internal::CaptureStdout();
    const char* version[] = {"tallyroll", "--version"};
    EXPECT_EQ(entry::AnswerArguments(2, version), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "tallyroll " TALLYROLL_VERSION "\n");
    for (const char* wrong : {"--bogus", "file.txt", "-"}) {
        const char* argv[] = {"tallyroll", wrong};
        testing::internal::CaptureStderr();
        EXPECT_EQ(entry::AnswerArguments(2, argv), 2) << wrong;
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find(wrong), std::string::npos);
        EXPECT_NE(said.find("Usage: tallyroll"), std::string::npos);
    }
    const char* two[] = {"tallyroll", "--help", "extra"};
    testing::internal::CaptureStderr();
    EXPECT_EQ(entry::AnswerArguments(3, two), 2);
    testing::internal::GetCapturedStderr();
}

} // namespace
