// What the program answers before it starts: --help lists the device table
// without opening a port, --version its version, anything else is refused.
#include "platform/entry/command_line.h"
#include "platform/entry/shown_text.h"

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

TEST_F(DeviceFolder, LinkLoopsAreShownAsLoopsNeverAsMissing) {
    fs::create_symlink("COM3", folder_ / "COM3");
    fs::create_symlink(folder_ / "COM2", folder_ / "COM1");
    fs::create_symlink(folder_ / "COM1", folder_ / "COM2");
    const auto ports = entry::LinkedPorts(folder_.string());
    ASSERT_EQ(ports.size(), 3u);
    for (const auto& port : ports) {
        EXPECT_EQ(port.kind, entry::LinkedPort::Kind::Loop) << port.name;
    }
    const std::string help = entry::HelpText(folder_.string());
    EXPECT_NE(help.find("COM3 -> COM3   (a loop"), std::string::npos) << help;
    EXPECT_EQ(help.find("missing"), std::string::npos) << help;
}

TEST_F(DeviceFolder, ATableThatIsAFileIsSaidToBeNoFolder) {
    const fs::path file = folder_ / "devices";
    std::ofstream(file) << "COM3\n";
    const std::string help = entry::HelpText(file.string());
    EXPECT_NE(help.find("not a folder"), std::string::npos) << help;
    EXPECT_EQ(help.find("no port is linked there yet"), std::string::npos) << help;
}

TEST_F(DeviceFolder, ControlCharactersOfLinksAndFoldersAreShownEscaped) {
    fs::create_symlink("/dev/\x1b]0;owned\x07tty\x9b", folder_ / "COM1");
    fs::create_symlink("tcp:\x1b[2J:9100", folder_ / "COM2");
    const fs::path odd = folder_ / "t\x1b[31mable";
    fs::create_directories(odd);
    for (const fs::path& table : {folder_, odd}) {
        const std::string help = entry::HelpText(table.string());
        for (const char c : help) {
            const auto byte = static_cast<unsigned char>(c);
            EXPECT_TRUE(byte >= 0x20 || c == '\n') << "raw control byte " << int{byte};
        }
    }
    const std::string help = entry::HelpText(folder_.string());
    EXPECT_NE(help.find("COM1 -> /dev/\\x1b]0;owned\\x07tty\\x9b   (missing"), std::string::npos)
        << help;
    EXPECT_NE(help.find("COM2 -> tcp:\\x1b[2J:9100   (not a printer address"), std::string::npos)
        << help;
    EXPECT_NE(entry::HelpText(odd.string()).find("t\\x1b[31mable"), std::string::npos);
}

TEST_F(DeviceFolder, TheHelpAdvisesTheStableNamesOfUsbAdapters) {
    const std::string help = entry::HelpText(folder_.string());
    EXPECT_NE(help.find("ln -sf /dev/serial/by-id/"), std::string::npos) << help;
    EXPECT_EQ(help.find("ln -sf /dev/ttyUSB"), std::string::npos) << help;
}

TEST(ShownText, EscapesWhatATerminalWouldActOnAndKeepsEveryScript) {
    EXPECT_EQ(entry::ShownText("plain COM3 -> /dev/ttyS0"), "plain COM3 -> /dev/ttyS0");
    EXPECT_EQ(entry::ShownText("Grüße 日本 🖨"), "Grüße 日本 🖨");
    EXPECT_EQ(entry::ShownText("a\x1b[2Jb\tc\nd\x7f"), "a\\x1b[2Jb\\x09c\\x0ad\\x7f");
    EXPECT_EQ(entry::ShownText("C:\\x"), "C:\\\\x") << "a backslash reads back one way";
    EXPECT_EQ(entry::ShownText(std::string("a\0b", 3)), "a\\x00b");
    // C1 controls, raw or in their UTF-8 form, and bytes that are no UTF-8.
    const std::string csi = "\x9b";
    EXPECT_EQ(entry::ShownText(csi + "2J"), "\\x9b2J");
    EXPECT_EQ(entry::ShownText("\xc2" + csi + "2J"), "\\xc2\\x9b2J");
    const std::string cut = "\xe6\x97"; // the first two bytes of a CJK character
    EXPECT_EQ(entry::ShownText(cut + "x"), "\\xe6\\x97x");
    EXPECT_EQ(entry::ShownText("\xc0\xaf"), "\\xc0\\xaf") << "an overlong slash";
    EXPECT_EQ(entry::ShownText("\xed\xa0\x80"), "\\xed\\xa0\\x80") << "a surrogate";
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
    EXPECT_NE(testing::internal::GetCapturedStderr().find("unexpected argument \"extra\""),
              std::string::npos)
        << "the argument that is wrong is named, not the option before it";
}

TEST(CommandLine, AWrongArgumentIsShownWithItsControlCharactersEscaped) {
    const char* argv[] = {"tallyroll", "\x1b]2;title\x07"};
    testing::internal::CaptureStderr();
    EXPECT_EQ(entry::AnswerArguments(2, argv), 2);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("\"\\x1b]2;title\\x07\""), std::string::npos) << said;
    EXPECT_EQ(said.find('\x1b'), std::string::npos);
}

} // namespace
