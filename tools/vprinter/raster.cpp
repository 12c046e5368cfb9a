#include "tools/vprinter/raster.h"

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

Raster Raster::rotated_180() const {
    Raster out(width_, height_);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            out.set(width_ - 1 - x, height_ - 1 - y, ink(x, y));
        }
    }
    return out;
}

} // namespace vprinter
