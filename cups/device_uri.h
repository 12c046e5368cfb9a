// The backend's device URIs, which need no device table of the user's:
//   tallyroll:/dev/ttyUSB0        a device path
//   tallyroll://tcp/HOST:PORT     a printer on the network
//   tallyroll://bt/ADDR[/CH]      a Bluetooth printer (RFCOMM channel CH)
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace cups_backend {

// The device table's link target for the URI ("/dev/ttyUSB0",
// "tcp:HOST:PORT", "bt:ADDR/CH"); nothing when it is none of the three.
std::optional<std::string> LinkTargetOf(std::string_view uri);

} // namespace cups_backend
