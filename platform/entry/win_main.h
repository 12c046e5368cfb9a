// The program's own entry, which the start-up code calls with the four start
// values of a Win32 application.
#pragma once

#include "platform/win32/types.h"

int WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nShowCmd);
