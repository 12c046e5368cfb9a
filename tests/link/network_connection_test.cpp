// The port connection, unchanged, over a printer's socket: a network printer
// on loopback takes the configured connection with the printer's settings
// remembered, and a Bluetooth printer where this system has no Bluetooth is
// reported at once with its own number; a printer that closed the idle
// connection is reached again for the next job. (Hang-ups, refusals and waits are
// tested with the whole program: tests/e2e/network_printer_session_test.cpp.)
#include "link/port_connection.h"
#include "platform/win32/comm.h"
#include "platform/win32/kernel.h"
#include "tests/support/host_fakes.h"
#include "tests/support/message_boxes.h"
#include "tests/support/pty_printer.h"
#include "tests/support/tcp_printer.h"

#include <gtest/gtest.h>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using testing_support::Bytes;
using testing_support::DeviceTable;
using testing_support::MessageBoxRecorder;
using testing_support::TcpPrinter;

// Boxes without an owner, as the connection shows them before a form exists.
struct TestHost : testing_support::FakePortHost {
    TestHost() : FakePortHost(nullptr) {}
};

class NetworkConnection : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(printer_.listening());
        table_.Link(3, printer_.target());
    }
    void TearDown() override { ClosePort(host_); }

    TcpPrinter printer_{"127.0.0.1", 4096};
    DeviceTable table_;
    MessageBoxRecorder boxes_;
    TestHost host_;
};

TEST_F(NetworkConnection, OpensWithThePrintersSettingsRememberedAndSendsTheBytes) {
    ASSERT_TRUE(OpenPort(host_, 3));
    EXPECT_TRUE(boxes_.Boxes().empty());
    DCB dcb{};
    ASSERT_TRUE(GetCommState(host_.m_hPort, &dcb));
    EXPECT_EQ(dcb.BaudRate, 115200u);
    EXPECT_EQ(dcb.Parity, EVENPARITY);
    EXPECT_EQ(reinterpret_cast<const DWORD*>(&dcb)[2] & 0x7FFF, 0x1293u)
        << "the flags the connection sets, kept as given";
    const char bytes[] = {0, 0, 0x1B, 0x40, 'A', '\r', '\n'};
    ASSERT_TRUE(WritePort(host_, bytes, sizeof bytes));
    ASSERT_TRUE(printer_.WaitForBytes(sizeof bytes));
    EXPECT_EQ(printer_.Received(), Bytes(bytes, bytes + sizeof bytes));
}

TEST_F(NetworkConnection, APrinterThatClosedTheIdleConnectionTakesTheNextJobWithoutAMessage) {
    ASSERT_TRUE(OpenPort(host_, 3));
    ASSERT_TRUE(WritePort(host_, "first", 5));
    ASSERT_TRUE(printer_.WaitForBytes(5));
    printer_.CloseIdleConnection();
    ASSERT_TRUE(printer_.WaitForClose());
    // The next job: the connection is open as far as the program knows.
    ASSERT_TRUE(OpenPort(host_, 3));
    ASSERT_TRUE(WritePort(host_, "\x1b@", 2));
    ASSERT_TRUE(WritePort(host_, "second", 6));
    ASSERT_TRUE(printer_.WaitForBytes(13));
    EXPECT_EQ(printer_.Received(), testing_support::ToBytes("first\x1b@second"));
    EXPECT_TRUE(boxes_.Boxes().empty()) << "nothing to tell the user";
    EXPECT_EQ(printer_.Connections(), 2);
}

TEST(NetworkConnectionGone, APrinterGoneAfterClosingFailsTheJobOnceAndTheNextOpenSaysWhy) {
    DeviceTable table;
    MessageBoxRecorder boxes;
    TestHost host;
    auto printer = std::make_unique<TcpPrinter>();
    table.Link(3, printer->target());
    ASSERT_TRUE(OpenPort(host, 3));
    printer->CloseIdleConnection();
    ASSERT_TRUE(printer->WaitForClose());
    printer.reset();
    EXPECT_FALSE(WritePort(host, "job", 3));
    EXPECT_FALSE(g_bPortOpen) << "closed, so that the next job opens the port again";
    EXPECT_FALSE(OpenPort(host, 3));
    const auto shown = boxes.Boxes();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, u"Can't Send Data to Printer!");
    EXPECT_EQ(shown[1].text, u"Unable to open COM3:, Error No.=1225");
}

TEST(BluetoothConnection, WithoutBluetoothInThisSystemTheOpenFailsAtOnceWithItsMessage) {
    const int probe = ::socket(31, SOCK_STREAM, 3); // AF_BLUETOOTH, BTPROTO_RFCOMM
    if (probe != -1) {
        ::close(probe);
        GTEST_SKIP() << "this system has Bluetooth sockets, and no printer to page";
    }
    DeviceTable table;
    MessageBoxRecorder boxes;
    TestHost host;
    table.Link(4, "bt:00:11:22:33:44:55");
    EXPECT_FALSE(OpenPort(host, 4));
    EXPECT_EQ(boxes.Texts(), std::vector<std::u16string>{u"Unable to open COM4:, Error No.=50"});
}

} // namespace
