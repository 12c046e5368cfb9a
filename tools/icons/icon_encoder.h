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
    int bit_count;
    std::vector<std::uint8_t> bytes; // BITMAPINFOHEADER onwards
};

// bit_count 4 takes an image drawn in kSixteenColours; 24 and 32 take any.
IconImage encode_icon_image(const Image& image, int bit_count);

std::vector<std::uint8_t> icon_file(const std::vector<IconImage>& images);

void write_bytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// An 8-bit RGBA PNG; throws std::runtime_error on failure.
void write_png(const std::filesystem::path& path, const Image& image);

} // namespace icons
