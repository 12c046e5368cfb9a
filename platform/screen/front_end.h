// A front end shows the window system's grid and supplies its input. The
// program links exactly one: the terminal (ncursesw) or the headless one that
// tests drive. Nothing above platform/ sees this interface.
#pragma once

#include "platform/screen/grid.h"
#include "platform/screen/input.h"

namespace screen {

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
};

// The linked front end, set up on first use and restored at exit.
FrontEnd& ActiveFrontEnd();

} // namespace screen
