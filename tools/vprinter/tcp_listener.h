// The virtual printer as a network printer: it listens on a TCP port (on
// loopback unless told otherwise), takes one connection at a time as a
// printer's raw port does, decodes what arrives as it does on a
// pseudo-terminal, and links COMn to tcp:ADDRESS:PORT in the device table.
#pragma once

#include "tools/vprinter/options.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vprinter {

struct TcpAddress {
    std::string host = "127.0.0.1"; // an IPv4 or IPv6 address, without brackets
    std::uint16_t port = 0;         // 0: the system picks one
};

// "9100", "127.0.0.1:9100", "[::1]:9100"; nothing for anything else.
std::optional<TcpAddress> parse_tcp_address(const std::string& text);

// How a device-table link names the address: "tcp:127.0.0.1:9100",
// "tcp:[::1]:9100".
std::string tcp_link_target(const TcpAddress& address);

// Whether a link target that names a socket (tcp:..., bt:...) may be replaced:
// only a loopback address where nothing listens, which a virtual printer
// that ended left behind. A real printer's address, or one something listens
// on, is left alone. Answers nothing for a target that names no socket.
std::optional<bool> socket_link_is_leftover(const std::string& target);

// Runs the virtual printer on options.tcp until it is stopped, as serve_port
// does on a pseudo-terminal. Returns the exit status.
int serve_tcp(const Options& options);

} // namespace vprinter
