// The dialog manager inside the window system: building a dialog from a
// template, the modal loop, and keyboard and mouse handling of dialogs.
#pragma once

#include "platform/screen/input.h"
#include "platform/user32/dialogs/dialog.h"
#include "platform/user32/resources/dialog_template.h"

namespace user32 {

// Creates the dialog and its controls (not yet shown); nullptr when a
// control's class is not supported.
Dialog* CreateDialogWindow(const DialogTemplate& tpl, HWND owner);
// Sends WM_INITDIALOG, runs the modal loop until EndDialog or a quit, then
// destroys the dialog and answers its end code.
INT_PTR RunModal(Dialog* dialog, LPARAM initParam);

// One turn of the message pump: the innermost dialog's own keys first (as
// IsDialogMessage), then the window system's delivery.
void PumpEvent(const screen::InputEvent& ev);

// Registers the builtin control classes and shows message boxes as windows;
// done before the first dialog is made, as user32 does when it is loaded.
void StartWindowSystem();

} // namespace user32
