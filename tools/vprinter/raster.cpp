#include "tools/vprinter/raster.h"

#include <algorithm>

namespace vprinter {

// Turning a picture stored row by row round by 180 degrees puts its last dot
// first: the dots in reverse order.
Raster Raster::rotated_180() const {
    Raster out(width_, height_);
    std::reverse_copy(dots_.begin(), dots_.end(), out.dots_.begin());
    return out;
}

void PackedRows::add(const Raster& raster, int x) {
    const std::size_t first_byte = static_cast<std::size_t>(x) / 8;
    const int columns = std::min(raster.width(), width - x);
    for (int y = 0; y < raster.height(); ++y) {
        std::size_t row = bytes.size();
        add_blank(1);
        std::uint8_t* packed = bytes.data() + row + first_byte;
        // Eight dots make a byte; a dot of ink clears its bit.
        for (int dx = 0; dx < columns; dx += 8) {
            unsigned paper = 0xFF;
            for (int bit = 0; bit < 8 && dx + bit < columns; ++bit) {
                if (raster.ink(dx + bit, y)) {
                    paper &= ~(0x80u >> bit);
                }
            }
            packed[dx / 8] = static_cast<std::uint8_t>(paper);
        }
    }
}

Raster PackedRows::unpacked() const {
    Raster raster(width, height());
    for (int y = 0; y < raster.height(); ++y) {
        const std::uint8_t* packed = row(y);
        for (int x = 0; x < width; ++x) {
            raster.set(x, y, (packed[x / 8] & (0x80u >> (x % 8))) == 0);
        }
    }
    return raster;
}

} // namespace vprinter
