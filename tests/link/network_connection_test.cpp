// The port connection, unchanged, over a printer's socket: a network printer
// on loopback takes the configured connection, a printer that hangs up closes
// it after one message and the next open connects again, and a port that
// cannot be reached is reported with its own number.
#include "link/port_connection.h"
#include "platform/win32/comm.h"
#include "platform/win32/kernel.h"
#include "tests/posix/tcp_printer.h"
#include "tests/posix/virtual_port.h"

#include <gtest/gtest.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using testing_support::Bytes;
using testing_support::DeviceTable;
using testing_support::MessageBoxRecorder;
using testing_support::TcpPrinter;

class TestHost : public PortHost {
public:
    HANDLE& PortHandle() override { return m_hPort; }
    HWND MessageOwner() const override { return nullptr; }
    HANDLE m_hPort = nullptr;
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

TEST_F(NetworkConnection, APrinterThatHangsUpIsReportedOnceAndTheNextOpenConnectsAgain) {
    ASSERT_TRUE(OpenPort(host_, 3));
    printer_.HangUpAfter(100);
    const std::string job(1 << 20, 'j'); // far more than the connection buffers
    EXPECT_FALSE(WritePort(host_, job.data(), static_cast<DWORD>(job.size())));
    EXPECT_EQ(g_bPortOpen, 0) << "a printer that went away closes the connection";
    ASSERT_EQ(boxes_.Texts(), std::vector<std::u16string>{u"Can't Send Data to Printer!"});
    const std::size_t before = printer_.Received().size(); // the hang-up came after these

    ASSERT_TRUE(OpenPort(host_, 3));
    ASSERT_TRUE(WritePort(host_, "ok", 2));
    EXPECT_TRUE(printer_.WaitForConnections(2));
    ASSERT_TRUE(printer_.WaitForBytes(before + 2));
    const Bytes got = printer_.Received();
    EXPECT_EQ(Bytes(got.end() - 2, got.end()), (Bytes{'o', 'k'}));
    EXPECT_EQ(boxes_.Texts().size(), 1u);
}

struct Unreachable {
    const char* link;
    const char16_t* message;
};

class PortThatCannotBeReached : public testing::TestWithParam<Unreachable> {
protected:
    DeviceTable table_;
    MessageBoxRecorder boxes_;
    TestHost host_;
};

TEST_P(PortThatCannotBeReached, IsReportedWithItsOwnNumber) {
    const std::string link = GetParam().link;
    table_.Link(4, link.starts_with("tcp:127.0.0.1:")
                       ? "tcp:127.0.0.1:" + std::to_string(testing_support::UnusedLoopbackPort())
                       : link);
    EXPECT_FALSE(OpenPort(host_, 4));
    EXPECT_EQ(g_bPortOpen, 0);
    EXPECT_EQ(boxes_.Texts(), std::vector<std::u16string>{GetParam().message});
}

INSTANTIATE_TEST_SUITE_P(
    Messages, PortThatCannotBeReached,
    testing::Values(Unreachable{"tcp:127.0.0.1:", u"Unable to open COM4:, Error No.=1225"},
                    Unreachable{"tcp:printer", u"Unable to open COM4:, Error No.=123"},
                    Unreachable{"bt:00:11:22:33:44", u"Unable to open COM4:, Error No.=123"}));

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
