// The program-wide 16-byte format command block: allocated once at start,
// rewritten whole by every format send.
#pragma once

#include "platform/win32/types.h"

inline constexpr DWORD kCommandBlockSize = 16;

extern BYTE* g_pCommandBlock;
