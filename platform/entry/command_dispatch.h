// The start-up code's choice between the form and a command: the first
// argument names the command.
#pragma once

#include <optional>

namespace entry {

// Runs the command argv[1] names and answers its exit status (128 + the
// signal's number when a signal ended it); nothing when argv names no
// command and the form is to be shown.
std::optional<int> RunCommand(int argc, const char* const* argv);

} // namespace entry
