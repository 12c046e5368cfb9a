// The program's own entry, which the start-up code calls with the four start
// values of a Win32 application: declared with the kernel calls, as Win32
// declares it.
#pragma once

#include "platform/win32/kernel.h"
