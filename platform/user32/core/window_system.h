// The window system's own C++ interface, for the class framework and tests;
// everything else goes through the Win32 calls of platform/win32/user.h.
//
//   Tier 1 (this folder) implements user.h and resources.h: windows with
//   handles, messages, the controls, dialogs from templates and message
//   boxes, drawn into a screen::Grid that the linked front end shows.
//   Modal loops take their input from screen::ActiveFrontEnd().
#pragma once

#include "platform/screen/grid.h"
#include "platform/screen/input.h"
#include "platform/user32/core/painter.h"
#include "platform/user32/resources/dialog_template.h"
#include "platform/win32/user.h"

namespace user32 {

// Runs a modal dialog built from an already read template, like
// DialogBoxParamW; answers the end code, or -1 when a control's class is not
// one the window system has.
INT_PTR DialogBoxFromTemplate(const DialogTemplate& tpl, HWND owner, DLGPROC proc, LPARAM param);

// Lays a dialog over the whole screen (true) or at its template size,
// centred (false). Answers FALSE for a handle that is not a dialog.
BOOL SetDialogFullScreen(HWND hDlg, bool fullScreen);

// Draws every open window into the grid now (the modal loop does this after
// each event); answers the grid. For tests and benchmarks.
const screen::Grid& RedrawScreen();

// Hands one input event to the window system as the modal loop would.
// For tests and benchmarks that drive a window without a running loop.
void DispatchEvent(const screen::InputEvent& ev);

} // namespace user32
