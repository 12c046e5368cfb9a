// The window system's side of a call that keeps the user waiting: the screen
// brought up to date with a line at the bottom saying what the program waits
// for, and the user's input taken while it waits (Esc and Ctrl+C cancel the
// call; other keys and clicks are dropped, not replayed afterwards).
#pragma once

#include "platform/kernel32/io_wait.h"

#include <string>

namespace screen {
class Grid;
}

namespace user32 {

// "Printing on COM3: 12,288 of 60,002 bytes · Esc cancels", "Connecting
// COM4 to network printer 10.0.0.5:9100 · Esc cancels".
std::u16string BusyLine(const kernel32::IoProgress& progress);

// Writes line over the last row of the grid.
void DrawBusyLine(screen::Grid& grid, std::u16string_view line);

// Makes the window system the watcher of busy calls.
void WatchBusyCalls();

} // namespace user32
