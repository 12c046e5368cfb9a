#include "tools/vprinter/raster.h"

#include <algorithm>

namespace vprinter {

void Raster::blit(const Raster& other, int x, int y) {
    for (int sy = 0; sy < other.height(); ++sy) {
        int ty = y + sy;
        if (ty < 0 || ty >= height_) {
            continue;
        }
        for (int sx = 0; sx < other.width(); ++sx) {
            int tx = x + sx;
            if (tx >= 0 && tx < width_) {
                set(tx, ty, other.ink(sx, sy));
            }
        }
    }
}

// Turning a picture stored row by row round by 180 degrees puts its last dot
// first: the dots in reverse order.
Raster Raster::rotated_180() const {
    Raster out(width_, height_);
    std::reverse_copy(dots_.begin(), dots_.end(), out.dots_.begin());
    return out;
}

} // namespace vprinter
