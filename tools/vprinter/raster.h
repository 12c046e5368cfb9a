#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vprinter {

// A picture of dots: ink or paper, one byte a dot, for looking at dots one
// by one (tests, reading a PNG back). The roll itself is drawn packed (below).
class Raster {
public:
    Raster() = default;
    Raster(int width, int height)
        : width_(width), height_(height),
          dots_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0) {}

    int width() const { return width_; }
    int height() const { return height_; }

    bool ink(int x, int y) const { return dots_[index(x, y)] != 0; }
    void set(int x, int y, bool ink) { dots_[index(x, y)] = ink ? 1 : 0; }

    Raster rotated_180() const;

    friend bool operator==(const Raster&, const Raster&) = default;

private:
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
               static_cast<std::size_t>(x);
    }

    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> dots_;
};

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
    std::uint8_t* row(int y) { return bytes.data() + stride * static_cast<std::size_t>(y); }
    const std::uint8_t* row(int y) const {
        return bytes.data() + stride * static_cast<std::size_t>(y);
    }
    // Adds the rows of `raster`, its left edge at dot `x` (a multiple of 8).
    void add(const Raster& raster, int x);
    Raster unpacked() const;
};

} // namespace vprinter
