#pragma once

#include <cstdint>
#include <vector>

namespace vprinter {

// A picture of dots: ink or paper. One byte a dot keeps the drawing code
// plain; rolls are a few hundred kilobytes.
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

    // Copies `other` with its top left corner at (x, y); dots outside are cut.
    void blit(const Raster& other, int x, int y);
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

} // namespace vprinter
