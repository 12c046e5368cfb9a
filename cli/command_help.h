// What "tallyroll print --help" and "tallyroll test --help" answer, and the
// short usage shown after a command that was not understood.
#pragma once

#include "cli/command_options.h"

#include <string_view>

std::string_view CommandHelp(CommandKind kind);
std::string_view CommandUsage(CommandKind kind);
