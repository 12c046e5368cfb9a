// The port connection on real pseudo-terminals linked into a private device
// table: opening once, settings on the device, closing on a port change or a
// printer that went away, and every failure with its message.
#include "link/port_connection.h"
#include "platform/user32/dialogs/message_box_presenter.h"
#include "platform/win32/kernel.h"
#include "platform/win32/user.h"
#include "tests/support/host_fakes.h"
#include "tests/support/message_boxes.h"
#include "tests/support/printer_settings.h"
#include "tests/support/pty_printer.h"

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using testing_support::Bytes;
using testing_support::DeviceTable;
using testing_support::ExpectPrinterSettings;
using testing_support::MessageBoxRecorder;
using testing_support::PtyPrinter;
using testing_support::RecordedBox;

const HWND kForm = testing_support::kFormWindow;

using TestHost = testing_support::FakePortHost;

bool Write(TestHost& host, const char* text) {
    return WritePort(host, text, static_cast<DWORD>(std::strlen(text)));
}

class PortConnection : public ::testing::Test {
protected:
    void SetUp() override { table_.Link(3, port_.path()); }
    void TearDown() override { ClosePort(host_); }

    DeviceTable table_;
    PtyPrinter port_;
    MessageBoxRecorder boxes_;
    TestHost host_;
};

TEST_F(PortConnection, OpensAndConfiguresThePortAndWritesToIt) {
    ASSERT_TRUE(OpenPort(host_, 3));
    EXPECT_NE(g_bPortOpen, 0);
    ExpectPrinterSettings(port_.slave_fd());
    EXPECT_TRUE(Write(host_, "a\nb"));
    EXPECT_EQ(port_.Drain(), (Bytes{'a', '\n', 'b'})) << "binary: no CR added";
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(PortConnection, ALaterOpenKeepsTheOpenConnectionWhateverTheNumber) {
    ASSERT_TRUE(OpenPort(host_, 3));
    const HANDLE opened = host_.m_hPort;
    table_.Unlink(3); // reopening would now fail
    EXPECT_TRUE(OpenPort(host_, 3));
    EXPECT_TRUE(OpenPort(host_, 7));
    EXPECT_EQ(host_.m_hPort, opened);
    EXPECT_TRUE(Write(host_, "x"));
    EXPECT_EQ(port_.Drain(), Bytes{'x'});
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(PortConnection, APortChangeClosesAndTheNextOpenTakesTheNewPortWithItsSettings) {
    ASSERT_TRUE(OpenPort(host_, 3));
    EXPECT_TRUE(ClosePort(host_));
    EXPECT_EQ(g_bPortOpen, 0);

    // The same pseudo-terminal again: even parity did not stick the first
    // time, which must not make the second apply fail.
    ASSERT_TRUE(OpenPort(host_, 3));
    EXPECT_TRUE(Write(host_, "again"));
    EXPECT_EQ(port_.Drain(), testing_support::ToBytes("again"));
    EXPECT_TRUE(ClosePort(host_));

    PtyPrinter other;
    table_.Link(4, other.path());
    ASSERT_TRUE(OpenPort(host_, 4));
    ExpectPrinterSettings(other.slave_fd());
    EXPECT_TRUE(Write(host_, "four"));
    EXPECT_EQ(other.Drain(), testing_support::ToBytes("four"));
    EXPECT_TRUE(port_.Drain().empty());
    EXPECT_TRUE(boxes_.Boxes().empty());
    ClosePort(host_);
}

TEST_F(PortConnection, ClosingWithNothingOpenTouchesNoHandle) {
    // Whatever m_hPort holds while closed is not the connection's to close.
    const std::string file = table_.folder() + "/kept";
    testing_support::TouchFile(file);
    table_.Link(9, file);
    host_.m_hPort = CreateFileW(u"COM9:", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(host_.m_hPort, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(ClosePort(host_));
    EXPECT_EQ(g_bPortOpen, 0);
    DWORD n = 0;
    EXPECT_TRUE(WriteFile(host_.m_hPort, "x", 1, &n, nullptr));
    CloseHandle(host_.m_hPort);
}

struct OpenFailure {
    int nPort;
    bool portHeldElsewhere;
    const char16_t* message;
};

class PortThatCannotBeOpened : public PortConnection,
                               public ::testing::WithParamInterface<OpenFailure> {};

TEST_P(PortThatCannotBeOpened, IsReportedWithItsNameAndTheSystemError) {
    const OpenFailure& c = GetParam();
    HANDLE holder = INVALID_HANDLE_VALUE;
    if (c.portHeldElsewhere) {
        holder = CreateFileW(u"COM3:", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                             nullptr);
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    } else {
        table_.Unlink(3);
    }
    EXPECT_FALSE(OpenPort(host_, c.nPort));
    EXPECT_EQ(g_bPortOpen, 0);
    const auto boxes = boxes_.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, c.message);
    EXPECT_EQ(boxes[0].caption, u"Error");
    EXPECT_EQ(boxes[0].owner, kForm);
    EXPECT_EQ(boxes[0].type, MB_OK);
    if (holder != INVALID_HANDLE_VALUE) {
        CloseHandle(holder);
    }
    EXPECT_TRUE(port_.Drain().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Messages, PortThatCannotBeOpened,
    ::testing::Values(OpenFailure{3, false, u"Unable to open COM3:, Error No.=2"},
                      OpenFailure{0, false, u"Unable to open COM0:, Error No.=2"},
                      OpenFailure{3, true, u"Unable to open COM3:, Error No.=5"}));

// Things a COM link can point at that open but are no serial line. Each one
// refuses the first setting (the time-outs) as Win32 refuses a serial request
// to a device that is not a port: invalid function (1). /dev/null and
// /dev/full are locked while open, so each is taken by this test only.
struct NotALine {
    const char* name;
    std::string (*make)(const DeviceTable&);
};

class PortThatRefusesItsSettings : public PortConnection,
                                   public ::testing::WithParamInterface<NotALine> {};

TEST_P(PortThatRefusesItsSettings, IsReportedOnceWithTheRefusingCallsErrorAndClosed) {
    table_.Link(3, GetParam().make(table_));
    EXPECT_FALSE(OpenPort(host_, 3));
    EXPECT_EQ(g_bPortOpen, 0);
    const auto boxes = boxes_.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, u"Unable to open COM3:, Error No.=1");
    EXPECT_EQ(boxes[0].caption, u"Error");
    EXPECT_EQ(boxes[0].owner, kForm);
    EXPECT_EQ(boxes[0].type, MB_OK);
    // Closed: the exclusive open of the device succeeds again.
    HANDLE h =
        CreateFileW(u"COM3:", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
    CloseHandle(h);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, PortThatRefusesItsSettings,
    ::testing::Values(
        NotALine{"RegularFile",
                 [](const DeviceTable& table) {
                     std::string file = table.folder() + "/not-a-port";
                     testing_support::TouchFile(file);
                     return file;
                 }},
        NotALine{"Fifo", // nobody at the other end: must not wait for one
                 [](const DeviceTable& table) {
                     std::string fifo = table.folder() + "/fifo";
                     EXPECT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
                     return fifo;
                 }},
        NotALine{"DevNull", [](const DeviceTable&) { return std::string("/dev/null"); }},
        NotALine{"DevFull", [](const DeviceTable&) { return std::string("/dev/full"); }}),
    [](const auto& p) { return std::string(p.param.name); });

void ExpectCantSend(const RecordedBox& box) {
    EXPECT_EQ(box.text, u"Can't Send Data to Printer!");
    EXPECT_EQ(box.caption, u"Error");
    EXPECT_EQ(box.owner, kForm);
    EXPECT_EQ(box.type, MB_OK);
}

TEST_F(PortConnection, AWriteToAPrinterThatHungUpIsReportedOnceAndClosesTheConnection) {
    ASSERT_TRUE(OpenPort(host_, 3));
    port_.Vanish(); // switched off
    EXPECT_FALSE(Write(host_, "lost"));
    EXPECT_EQ(g_bPortOpen, 0);
    const auto boxes = boxes_.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    ExpectCantSend(boxes[0]);

    // Switched on again: the same port name on a new device. The next open
    // reaches it without any port change in between.
    PtyPrinter back;
    table_.Link(3, back.path());
    ASSERT_TRUE(OpenPort(host_, 3));
    ExpectPrinterSettings(back.slave_fd());
    EXPECT_TRUE(Write(host_, "back\r\n"));
    EXPECT_EQ(back.Drain(), testing_support::ToBytes("back\r\n"));
    EXPECT_EQ(boxes_.Boxes().size(), 1u);
}

TEST_F(PortConnection, WritesAfterTheConnectionClosedTouchNoHandle) {
    // A job goes on after a failed format block; its later writes must not
    // reach whatever the old handle value names by then.
    ASSERT_TRUE(OpenPort(host_, 3));
    port_.Vanish();
    EXPECT_FALSE(Write(host_, "block"));
    ASSERT_EQ(g_bPortOpen, 0);
    PtyPrinter other;
    table_.Link(4, other.path());
    host_.m_hPort =
        CreateFileW(u"COM4:", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(host_.m_hPort, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(Write(host_, "text"));
    EXPECT_TRUE(other.Drain().empty());
    EXPECT_EQ(boxes_.Boxes().size(), 2u) << "every failed write is reported";
    CloseHandle(host_.m_hPort);
}

// Win32 errors are per thread; a message box's own calls may leave another
// one behind before the connection looks at the write's.
int ClobberingBox(HWND, LPCWSTR, LPCWSTR, UINT) {
    SetLastError(ERROR_SUCCESS);
    return IDOK;
}

TEST_F(PortConnection, TheWritesOwnErrorDecidesEvenIfTheMessageBoxSetsAnother) {
    ASSERT_TRUE(OpenPort(host_, 3));
    port_.Vanish();
    const MessageBoxPresenter previous = SetMessageBoxPresenter(&ClobberingBox);
    const bool written = Write(host_, "lost");
    SetMessageBoxPresenter(previous);
    EXPECT_FALSE(written);
    EXPECT_EQ(g_bPortOpen, 0);
}

TEST_F(PortConnection, AWriteThatFailsWhileThePrinterIsStillThereKeepsTheConnection) {
    ASSERT_TRUE(OpenPort(host_, 3));
    // The connection's descriptor now leads to a device that is always full:
    // the write fails (disk full), but nothing says the printer went away.
    const int fd = testing_support::ProgramDescriptorOn(port_);
    ASSERT_GE(fd, 0);
    const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    ASSERT_EQ(::dup2(full, fd), fd);
    ::close(full);
    EXPECT_FALSE(Write(host_, "x"));
    EXPECT_NE(g_bPortOpen, 0);
    const auto boxes = boxes_.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    ExpectCantSend(boxes[0]);
}

} // namespace
