// A front end shows the window system's grid and supplies its input. The
// program links exactly one: the terminal (ncursesw) or the headless one that
// tests drive. Nothing above platform/ sees this interface.
#pragma once

#include "platform/screen/grid.h"
#include "platform/screen/input.h"

#include <vector>

namespace screen {

// What arrived while the program was busy on a device or a file.
struct BusyInput {
    std::vector<InputEvent> events; // keys, clicks and resizes, in order
    bool stop = false;              // the program must end (a stop signal, the terminal gone)
};

class FrontEnd {
public:
    virtual ~FrontEnd() = default;

    // Size of the screen in cells.
    virtual int width() const = 0;
    virtual int height() const = 0;
    // Shows grid (sized width() x height()) with its cursor.
    virtual void present(const Grid& grid) = 0;
    // Blocks until the next event. A front end that can produce no more input
    // answers QuitEvent.
    virtual InputEvent waitEvent() = 0;

    // While the program is busy: descriptors that become readable when input
    // or a stop request arrives (at most two; answers how many).
    virtual int busyDescriptors(int (&fds)[2]) { return fds[0] = -1, 0; }
    // Takes all input that has arrived, without waiting (a resize is applied
    // to the front end's size before it is handed over).
    virtual BusyInput takeBusyInput() = 0;

    // Why the program cannot be shown (no usable terminal), or nullptr.
    virtual const char* unusableReason() const { return nullptr; }
};

// The linked front end, set up on first use and restored at exit.
FrontEnd& ActiveFrontEnd();

} // namespace screen
