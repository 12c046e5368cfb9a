// Windows only. "tallyroll ports", "link" and "unlink" where the system names
// the COM ports itself: ports lists them, and there is no device table for
// link and unlink to change.
#pragma once

#include <string>
#include <vector>

namespace entry {

// The system's COMn names with the device each stands for, in port order.
struct SystemPort {
    std::wstring name;   // "COM3"
    std::wstring device; // "\Device\Serial2"
};
std::vector<SystemPort> SystemPorts();

// args[0] is the command's name. Answers the exit status as the Linux
// build's commands do: 0 done, 1 refused, 2 not understood.
int RunPortCommand(const std::vector<std::wstring>& args);

} // namespace entry
