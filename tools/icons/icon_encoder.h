// Encodes pictures as the device-independent bitmaps of an icon file (colour
// bits and AND mask, rows bottom up) and writes .ico and .png files.
#pragma once

#include "tools/icons/picture.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace icons {

struct IconImage {
    int size;
    int bitCount;
    std::vector<std::uint8_t> bytes; // BITMAPINFOHEADER onwards
};

// bitCount 4 takes an image drawn in kSixteenColours; 24 and 32 take any.
IconImage EncodeIconImage(const Image& image, int bitCount);

std::vector<std::uint8_t> IconFile(const std::vector<IconImage>& images);

void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// An 8-bit RGBA PNG; throws std::runtime_error on failure.
void WritePng(const std::filesystem::path& path, const Image& image);

} // namespace icons
