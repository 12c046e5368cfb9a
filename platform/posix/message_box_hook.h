// How a message box is presented is replaceable: the window system shows it as
// a modal window; tests record owner, text and caption; with neither, the box
// is written to standard error and answers IDOK.
#pragma once

#include "platform/win32/types.h"

using MessageBoxPresenter = int (*)(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType);

// Installs presenter (nullptr restores the default) and answers the previous one.
MessageBoxPresenter SetMessageBoxPresenter(MessageBoxPresenter presenter);
