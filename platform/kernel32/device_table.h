// The device table: a folder holding one symbolic link per serial port,
// named COMn and pointing at the device node (COM3 -> /dev/rfcomm0). It plays
// the part of the original platform's device registry.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kernel32 {

// For a port name ("COM3:", "com3", "\\.\COM3") the link name "COM3";
// nothing for every other name, which is then a path in the file system.
std::optional<std::string> PortLinkName(std::u16string_view name);

// $TALLYROLL_DEVICES when set and not empty, else ~/.tallyroll/devices.
std::string DeviceFolder();

} // namespace kernel32
