// Icon resources: an icon group (RT_GROUP_ICON, a GRPICONDIR) lists images
// that are RT_ICON resources of the same module, each a BITMAPINFOHEADER-based
// DIB or a PNG.
#pragma once

#include "platform/user32/resources/read_result.h"
#include "platform/win32/types.h"

#include <cstdint>
#include <span>
#include <vector>

namespace user32 {

struct IconGroupEntry {
    int width = 0; // 0 in the directory means 256
    int height = 0;
    BYTE colorCount = 0;
    WORD planes = 0;
    WORD bitCount = 0;
    DWORD bytesInRes = 0;
    WORD imageId = 0; // the RT_ICON resource id
};

struct IconImage {
    bool png = false;
    int width = 0;
    int height = 0; // of the picture, not the DIB's doubled XOR+AND height
    int bitCount = 0;
};

ReadResult<std::vector<IconGroupEntry>> ReadIconGroup(std::span<const std::uint8_t> bytes);
ReadResult<IconImage> ReadIconImage(std::span<const std::uint8_t> bytes);

} // namespace user32
