// Message boxes as modal windows of the window system: caption, wrapped
// text and buttons; Enter, Space or a click on a button dismisses it, and so
// does Esc where the box has a cancel answer (or only an OK button).
#pragma once

#include "platform/win32/types.h"

namespace user32 {

int ShowMessageBoxWindow(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
// Makes MessageBoxW show its boxes through ShowMessageBoxWindow.
void InstallMessageBoxWindow();

} // namespace user32
