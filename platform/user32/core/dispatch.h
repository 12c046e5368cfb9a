// The last step of the message pump: an input event delivered to the
// innermost modal window once the dialog manager has had its look at keys.
#pragma once

#include "platform/screen/input.h"

namespace user32 {

// Quits and new screen sizes go to every window; keys and pasted text to
// the focused window; the mouse to a shown pop-up first, then to the
// window under it.
void DispatchInput(const screen::InputEvent& ev);

} // namespace user32
