// The format command block of each command set.
#pragma once

#include "engine/command_set.h"
#include "engine/format_options.h"
#include "platform/win32/types.h"

// Writes all 16 bytes of the block for set and options into pBlock: a zero
// byte, then five three-byte commands (size, size, underline, direction,
// white). Each value byte is the low 8 bits of the value.
void FillFormatBlock(BYTE* pBlock, CommandSet set, const FormatOptions& options);
