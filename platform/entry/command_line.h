// What `tallyroll --help` and `--version` answer, before the program itself
// starts: the program takes no arguments, so anything else is an error.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace entry {

struct LinkedPort {
    // Loop: a link that leads back to itself (COM3 -> COM3, a -> b -> a).
    enum class Kind { Device, Printer, BadAddress, Loop };
    std::string name;   // "COM3"
    std::string target; // where the link points
    Kind kind = Kind::Device;
    bool present = false;    // a device: whether something is there now
    std::string description; // a printer's address: "network printer 10.0.0.5:9100"
};

// The COMn links of folder, in port order, with whether each device exists
// or which network or Bluetooth printer it names. Nothing is opened and
// nothing is connected: opening a serial port can reset the device behind
// it, and a printer's connection is made only when a job runs.
std::vector<LinkedPort> LinkedPorts(const std::string& folder);

// The help text for the device table in folder.
std::string HelpText(const std::string& folder);

// Handles the arguments; answers the exit status when the program should end
// here (after printing), or nothing when it should show the form.
std::optional<int> AnswerArguments(int argc, const char* const* argv);

} // namespace entry
