// What `tallyroll --help` and `--version` answer, before the program itself
// starts: the program takes no arguments, so anything else is an error.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace entry {

struct LinkedPort {
    std::string name;   // "COM3"
    std::string target; // where the link points
    bool present = false;
};

// The COMn links of folder, in port order, with whether each target exists.
// Nothing is opened: opening a serial port can reset the device behind it.
std::vector<LinkedPort> LinkedPorts(const std::string& folder);

// The help text for the device table in folder.
std::string HelpText(const std::string& folder);

// Handles the arguments; answers the exit status when the program should end
// here (after printing), or nothing when it should show the form.
std::optional<int> AnswerArguments(int argc, const char* const* argv);

} // namespace entry
