#include "tools/icons/icon_encoder.h"

#include <cstdio>
#include <memory>
#include <png.h>
#include <stdexcept>

namespace icons {

void write_png(const std::filesystem::path& path, const Image& image) {
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!file) {
        throw std::runtime_error(path.string() + ": cannot write");
    }
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = png_uint_32(image.size);
    png.height = png_uint_32(image.size);
    png.format = PNG_FORMAT_RGBA;
    static_assert(sizeof(Rgba) == 4);
    if (!png_image_write_to_stdio(&png, file.get(), 0, image.pixels.data(), 0, nullptr)) {
        throw std::runtime_error(path.string() + ": " + png.message);
    }
}

} // namespace icons
