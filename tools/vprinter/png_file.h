#pragma once

#include "tools/vprinter/raster.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vprinter {

// Dots packed one bit each, most significant bit first, the way a black and
// white PNG stores them: 0 is ink, 1 is paper.
struct PackedRows {
    int width = 0;
    std::size_t stride = 0; // bytes a row
    std::vector<std::uint8_t> bytes;

    explicit PackedRows(int width_in_dots = 0)
        : width(width_in_dots), stride((static_cast<std::size_t>(width_in_dots) + 7) / 8) {}
    int height() const { return stride == 0 ? 0 : static_cast<int>(bytes.size() / stride); }
    // Adds `count` rows of paper.
    void add_blank(int count) {
        bytes.resize(bytes.size() + stride * static_cast<std::size_t>(count), 0xFF);
    }
    // Adds the rows of `raster`, its left edge at dot `x` (a multiple of 8).
    void add(const Raster& raster, int x);
};

// Black and white PNG files, one bit a dot, with the paper's resolution of
// 8 dots per millimetre recorded so that viewers can show true size.
// Written to a temporary name and renamed, so a reader never sees half a file.
bool write_png(const PackedRows& rows, const std::string& path, std::string* error);
bool write_png(const Raster& raster, const std::string& path, std::string* error);
std::optional<Raster> read_png(const std::string& path, std::string* error);

} // namespace vprinter
