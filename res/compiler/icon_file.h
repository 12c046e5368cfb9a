// Reading .ico files into the icon images and group directories that the
// window system loads as icon resources.
#pragma once

#include "platform/win32/types.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace res {

// One image of an icon file, as its directory entry describes it, with the
// image's own bytes (BITMAPINFOHEADER, colour table, colour bits, AND mask).
struct IconImage {
    BYTE width = 0;  // 0 means 256
    BYTE height = 0; // 0 means 256
    BYTE colorCount = 0;
    WORD planes = 0;
    WORD bitCount = 0;
    std::vector<std::uint8_t> bytes;
};

// Reads and checks an icon file; throws std::runtime_error naming the file and
// the fault when it is not a well-formed icon of device-independent bitmaps.
std::vector<IconImage> ReadIconFile(const std::filesystem::path& path);

// The group directory for images that become icon resources firstId,
// firstId + 1, ... in order.
std::vector<std::uint8_t> LayOutIconGroup(const std::vector<IconImage>& images, WORD firstId);

} // namespace res
