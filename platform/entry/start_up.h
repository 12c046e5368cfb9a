// What the start-up code does before the program's wWinMain: the parts that
// do not need a process of their own, so that tests can run them.
#pragma once

#include <string>

namespace entry {

// The command line the program is given: the arguments after the program's
// name, joined by spaces; an argument with a space or a quote in it is quoted
// the way a Win32 command line quotes it.
std::u16string CommandLine(int argc, const char* const* argv);

// The name the program was started by, for its title; fallback when the
// system gave none.
std::u16string ProgramName(int argc, const char* const* argv, std::u16string_view fallback);

} // namespace entry
