// "tallyroll ports", "tallyroll link COMn TARGET" and "tallyroll unlink COMn":
// the device table seen and changed from the shell. Nothing here opens a
// device or connects to a printer.
#pragma once

#include <string>
#include <vector>

namespace entry {

// args[0] is the command's name; folder is the device table. Answers the
// exit status: 0 done, 1 refused or failed, 2 not understood.
int RunDeviceTableCommand(const std::vector<std::string>& args, const std::string& folder);

} // namespace entry
