// The dialog's own keys, as IsDialogMessage takes them: Tab and Shift+Tab,
// Enter for the focused or the default push button, Esc, the caption's OK
// key and Alt+mnemonics. Each control says through WM_GETDLGCODE which keys
// it keeps for itself; what the dialog does not take goes to the control.
#pragma once

#include "platform/screen/input.h"
#include "platform/user32/core/window.h"

namespace user32 {

class Dialog;

// Answers whether the key was the dialog's (and has been acted on).
bool DialogKey(Dialog* dialog, const screen::KeyEvent& ev);

// The next (dir 1) or previous (dir -1) control that Tab reaches from `from`
// (nullptr: from the start or end).
Window* NextTabStop(Window* dialog, Window* from, int dir);

// The dialog's control with this id, or nullptr.
Window* DialogItem(Window* dialog, int id);

// Gives the focus to a control as Tab does: a text field selects its text.
void FocusControl(Window* control);

} // namespace user32
