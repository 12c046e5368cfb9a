// The program's own entry, which the start-up code calls with the four start
// values of a Win32 application.
#pragma once

#include "platform/win32/types.h"

// wWinMain: the entry of a Win32 program that takes its command line wide.
int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nShowCmd);
