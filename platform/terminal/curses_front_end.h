// The terminal front end: shows the grid with ncursesw and reads keys, mouse,
// resizes and stop requests. screen::ActiveFrontEnd() makes it on first use.
#pragma once

#include "platform/screen/front_end.h"

namespace terminal {

// The front end for this process's terminal; when standard input and output
// are not a usable terminal, one that says so once and answers QuitEvent.
screen::FrontEnd* CreateFrontEnd();

} // namespace terminal
