// Where a message box goes is the host's to say. The window system shows
// boxes as modal windows once it is linked in; a host with no screen (the
// command line, the print spooler's backend) installs a presenter of its own,
// and tests install one that records owner, text and caption. With none,
// before anything is up, a box is written to standard error and answers IDOK.
#pragma once

#include "platform/win32/types.h"

using MessageBoxPresenter = int (*)(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType);

// Installs presenter (nullptr restores the default) and answers the previous one.
MessageBoxPresenter SetMessageBoxPresenter(MessageBoxPresenter presenter);
