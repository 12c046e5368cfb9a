// How the end-to-end tests start the program in tmux: with a private device
// table, through a shell that records the program's pid in the session's
// folder and then becomes the program.
#pragma once

#include "tests/support/pty_printer.h"

#include <string>

namespace e2e {

inline std::string ProgramCommand(const testing_support::DeviceTable& table) {
    return "TALLYROLL_DEVICES='" + table.folder() +
           "' sh -c 'echo $$ > \"$1/pid\"; exec \"$0\"' '" TALLYROLL_BINARY "' \"$DIR\"";
}

} // namespace e2e
