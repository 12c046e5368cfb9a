// Device-table links that name a socket instead of a device: a network
// printer's raw port, "tcp:HOST:PORT", or a paired Bluetooth printer's RFCOMM
// channel, "bt:AA:BB:CC:DD:EE:FF" (channel 1) or "bt:AA:BB:CC:DD:EE:FF/N".
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <sys/socket.h>
#include <variant>

namespace kernel32 {

struct TcpTarget {
    std::string host; // a name, an IPv4 address, or an IPv6 address without brackets
    std::uint16_t port = 0;
};

struct BluetoothTarget {
    std::array<std::uint8_t, 6> address{}; // as written: most significant first
    std::uint8_t channel = 1;
};

using SocketTarget = std::variant<TcpTarget, BluetoothTarget>;

enum class TargetKind {
    Device,    // a path: open it as a device
    Socket,    // a socket address, in the target given back
    Malformed, // begins like a socket address but is not one
};

TargetKind ParseLinkTarget(std::string_view text, SocketTarget& target);

// RFCOMM channels a printer can offer.
inline constexpr int kFirstRfcommChannel = 1;
inline constexpr int kLastRfcommChannel = 30;

// The kernel's struct sockaddr_rc, laid out here so that building needs no
// Bluetooth headers: the family, the device address with its least
// significant byte first, and the channel.
struct RfcommSocketAddress {
    sa_family_t family;
    std::uint8_t address[6];
    std::uint8_t channel;
};
inline constexpr int kAfBluetooth = 31;
inline constexpr int kBtProtoRfcomm = 3;

RfcommSocketAddress RfcommAddressOf(const BluetoothTarget& target);

// What the user reads for a target: "Bluetooth 00:11:22:33:44:55 channel 1".
std::string DescribeTarget(const SocketTarget& target);

} // namespace kernel32
