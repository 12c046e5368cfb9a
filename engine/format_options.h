// The character format of one print job.
#pragma once

#include "platform/win32/types.h"

struct FormatOptions {
    INT nWidth = 0;  // Width list index, 0..3 for "x1".."x4", −1 when none
    INT nHeight = 0; // Height list index, as nWidth
    INT bUnderline = 0;
    INT bDirection = 0;
    INT bWhite = 0; // each flag 0 or 1
};
