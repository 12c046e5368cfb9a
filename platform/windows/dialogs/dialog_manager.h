// The dialog manager inside the window system: building a dialog from a
// template, the modal loop, and keyboard and mouse handling of dialogs.
#pragma once

#include "platform/screen/input.h"
#include "platform/windows/dialogs/dialog.h"
#include "platform/windows/resources/dialog_template.h"

namespace windows {

// Creates the dialog and its controls (not yet shown); nullptr when a
// control's class is not supported.
Dialog* CreateDialogWindow(const DialogTemplate& tpl, HWND owner);
// Sends WM_INITDIALOG, runs the modal loop until EndDialog or a quit, then
// destroys the dialog and answers its end code.
INT_PTR RunModal(Dialog* dialog, LPARAM initParam);

void DispatchInput(const screen::InputEvent& ev);

// The next (dir 1) or previous (dir -1) control that Tab reaches from `from`
// (nullptr: from the start or end).
Window* NextTabStop(Dialog* dialog, Window* from, int dir);

} // namespace windows
