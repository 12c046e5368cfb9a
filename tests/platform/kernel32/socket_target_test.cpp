// Device-table links that name sockets: what is read as an address, what is
// refused as malformed, and the RFCOMM socket address built for an entry.
#include "platform/kernel32/socket_target.h"

#include <cstddef>
#include <cstring>
#include <gtest/gtest.h>

namespace {

using namespace kernel32;

TEST(LinkTarget, PathsAreDevices) {
    SocketTarget target;
    for (const char* path : {"/dev/ttyUSB0", "/dev/rfcomm0", "relative/tty", "tcp", "bt"}) {
        EXPECT_EQ(ParseLinkTarget(path, target), TargetKind::Device) << path;
    }
}

TEST(LinkTarget, TcpNamesAHostAndAPort) {
    struct Case {
        const char* text;
        const char* host;
        std::uint16_t port;
    };
    for (const Case& c :
         {Case{"tcp:192.168.1.50:9100", "192.168.1.50", 9100},
          Case{"tcp:printer.local:9100", "printer.local", 9100},
          Case{"tcp:[::1]:9100", "::1", 9100}, Case{"tcp:[fe80::1%wlan0]:1", "fe80::1%wlan0", 1},
          Case{"tcp:localhost:65535", "localhost", 65535}}) {
        SocketTarget target;
        ASSERT_EQ(ParseLinkTarget(c.text, target), TargetKind::Socket) << c.text;
        const auto& tcp = std::get<TcpTarget>(target);
        EXPECT_EQ(tcp.host, c.host);
        EXPECT_EQ(tcp.port, c.port);
    }
}

TEST(LinkTarget, BluetoothNamesADeviceAndAChannel) {
    SocketTarget target;
    ASSERT_EQ(ParseLinkTarget("bt:00:11:22:33:44:5f", target), TargetKind::Socket);
    auto bt = std::get<BluetoothTarget>(target);
    EXPECT_EQ(bt.address, (std::array<std::uint8_t, 6>{0x00, 0x11, 0x22, 0x33, 0x44, 0x5F}));
    EXPECT_EQ(bt.channel, 1) << "channel 1 when none is given";
    ASSERT_EQ(ParseLinkTarget("bt:AA:BB:CC:DD:EE:FF/30", target), TargetKind::Socket);
    EXPECT_EQ(std::get<BluetoothTarget>(target).channel, 30);
}

TEST(LinkTarget, MalformedAddressesAreRefused) {
    SocketTarget target;
    for (const char* text : {"tcp:",
                             "tcp:host",
                             "tcp:host:",
                             "tcp::9100",
                             "tcp:host:0",
                             "tcp:host:65536",
                             "tcp:host:91x0",
                             "tcp:::1:9100",
                             "tcp:[::1]9100",
                             "tcp:[::1",
                             "tcp:a b:9100",
                             "bt:",
                             "bt:00:11:22:33:44",
                             "bt:00:11:22:33:44:55:66",
                             "bt:00-11-22-33-44-55",
                             "bt:0g:11:22:33:44:55",
                             "bt:00:11:22:33:44:55/0",
                             "bt:00:11:22:33:44:55/31",
                             "bt:00:11:22:33:44:55/",
                             "bt:00:11:22:33:44:55/x",
                             "bt:001:1:22:33:44:55"}) {
        EXPECT_EQ(ParseLinkTarget(text, target), TargetKind::Malformed) << text;
    }
}

TEST(LinkTarget, TheSchemeIsReadInAnyCaseAndAControlCharacterIsNoHostName) {
    SocketTarget target;
    ASSERT_EQ(ParseLinkTarget("TCP:Printer.Local:9100", target), TargetKind::Socket);
    EXPECT_EQ(std::get<TcpTarget>(target).host, "Printer.Local");
    ASSERT_EQ(ParseLinkTarget("Bt:00:11:22:33:44:55/2", target), TargetKind::Socket);
    EXPECT_EQ(std::get<BluetoothTarget>(target).channel, 2);
    for (const char* text : {"tCp:host", "BT:00:11", "TCP:host\x1b[2J:9100", "tcp:ho\x7fst:1"}) {
        EXPECT_EQ(ParseLinkTarget(text, target), TargetKind::Malformed) << text;
    }
}

TEST(LinkTarget, TheRfcommAddressHasTheKernelsLayout) {
    // struct sockaddr_rc: family (2 bytes), bdaddr_t reversed (6), channel (1).
    EXPECT_EQ(offsetof(RfcommSocketAddress, address), 2u);
    EXPECT_EQ(offsetof(RfcommSocketAddress, channel), 8u);
    SocketTarget target;
    ASSERT_EQ(ParseLinkTarget("bt:00:11:22:33:44:55/4", target), TargetKind::Socket);
    const RfcommSocketAddress address = RfcommAddressOf(std::get<BluetoothTarget>(target));
    EXPECT_EQ(address.family, kAfBluetooth);
    const std::uint8_t reversed[6] = {0x55, 0x44, 0x33, 0x22, 0x11, 0x00};
    EXPECT_EQ(0, std::memcmp(address.address, reversed, 6));
    EXPECT_EQ(address.channel, 4);
    EXPECT_EQ(DescribeTarget(target), "Bluetooth printer 00:11:22:33:44:55 channel 4");
}

} // namespace
