#include "platform/kernel32/socket_target.h"

#include <charconv>

namespace kernel32 {
namespace {

constexpr std::string_view kTcp = "tcp:";
constexpr std::string_view kBluetooth = "bt:";

// "TCP:" and "Bt:" are what a user means by "tcp:" and "bt:", as Win32's
// names are read in any case.
bool StartsWithAnyCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const char c = text[i];
        const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        if (lower != prefix[i]) {
            return false;
        }
    }
    return true;
}

bool ParseNumber(std::string_view text, unsigned long& out) {
    if (text.empty() || text.size() > 5) {
        return false;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
    return error == std::errc{} && end == text.data() + text.size();
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool ParseBluetooth(std::string_view text, BluetoothTarget& out) {
    std::string_view address = text;
    unsigned long channel = 1;
    if (const std::size_t slash = text.find('/'); slash != std::string_view::npos) {
        address = text.substr(0, slash);
        if (!ParseNumber(text.substr(slash + 1), channel) || channel < kFirstRfcommChannel ||
            channel > kLastRfcommChannel) {
            return false;
        }
    }
    // Six pairs of hex digits with a colon between each: 17 characters.
    if (address.size() != 17) {
        return false;
    }
    for (std::size_t i = 0; i < 6; ++i) {
        const std::size_t at = i * 3;
        if (i > 0 && address[at - 1] != ':') {
            return false;
        }
        const int high = HexDigit(address[at]);
        const int low = HexDigit(address[at + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        out.address[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    out.channel = static_cast<std::uint8_t>(channel);
    return true;
}

bool ParseTcp(std::string_view text, TcpTarget& out) {
    std::string_view host;
    std::string_view port;
    if (text.starts_with('[')) {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos || close + 1 >= text.size() || text[close + 1] != ':') {
            return false;
        }
        host = text.substr(1, close - 1);
        port = text.substr(close + 2);
    } else {
        const std::size_t colon = text.rfind(':');
        if (colon == std::string_view::npos) {
            return false;
        }
        host = text.substr(0, colon);
        port = text.substr(colon + 1);
        if (host.find(':') != std::string_view::npos) {
            return false; // an IPv6 address needs its brackets
        }
    }
    unsigned long number = 0;
    if (host.empty() || !ParseNumber(port, number) || number == 0 || number > 65535) {
        return false;
    }
    // No host name holds a control character; one in a link's text is a
    // mistake, and would reach the screen in the "Connecting" line.
    for (char c : host) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '/' || c == ' ' || c == '[' || c == ']' || byte < 0x20 || byte == 0x7F) {
            return false;
        }
    }
    out.host = std::string(host);
    out.port = static_cast<std::uint16_t>(number);
    return true;
}

} // namespace

TargetKind ParseLinkTarget(std::string_view text, SocketTarget& target) {
    if (StartsWithAnyCase(text, kTcp)) {
        TcpTarget tcp;
        if (!ParseTcp(text.substr(kTcp.size()), tcp)) {
            return TargetKind::Malformed;
        }
        target = tcp;
        return TargetKind::Socket;
    }
    if (StartsWithAnyCase(text, kBluetooth)) {
        BluetoothTarget bt;
        if (!ParseBluetooth(text.substr(kBluetooth.size()), bt)) {
            return TargetKind::Malformed;
        }
        target = bt;
        return TargetKind::Socket;
    }
    return TargetKind::Device;
}

RfcommSocketAddress RfcommAddressOf(const BluetoothTarget& target) {
    RfcommSocketAddress address{};
    address.family = kAfBluetooth;
    for (std::size_t i = 0; i < 6; ++i) {
        address.address[i] = target.address[5 - i];
    }
    address.channel = target.channel;
    return address;
}

std::string DescribeTarget(const SocketTarget& target) {
    if (const auto* tcp = std::get_if<TcpTarget>(&target)) {
        const bool v6 = tcp->host.find(':') != std::string::npos;
        return "network printer " + (v6 ? "[" + tcp->host + "]" : tcp->host) + ":" +
               std::to_string(tcp->port);
    }
    const auto& bt = std::get<BluetoothTarget>(target);
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text = "Bluetooth printer ";
    for (std::size_t i = 0; i < 6; ++i) {
        if (i > 0) {
            text += ':';
        }
        text += kHex[bt.address[i] >> 4];
        text += kHex[bt.address[i] & 15];
    }
    return text + " channel " + std::to_string(bt.channel);
}

} // namespace kernel32
