#include "tools/vprinter/png_file.h"

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <png.h>
#include <unistd.h>
#include <vector>

namespace vprinter {

namespace {

constexpr png_uint_32 kDotsPerMetre = 8000;

struct FileCloser {
    void operator()(std::FILE* f) const { (void)std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// libpng reports errors by longjmp; nothing with a destructor may live
// between setjmp and the calls that can jump, hence these plain functions.
bool write_rows(std::FILE* file, int width, std::vector<png_bytep>& rows) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) {
        return false;
    }
    png_infop info = png_create_info_struct(png);
    // libpng has no other way to report an error than a long jump.
    if (info == nullptr || setjmp(png_jmpbuf(png))) { // NOLINT(cert-err52-cpp)
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(rows.size()),
                 1, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_pHYs(png, info, kDotsPerMetre, kDotsPerMetre, PNG_RESOLUTION_METER);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool read_rows(std::FILE* file, int* width, int* height, std::vector<std::uint8_t>& pixels) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) {
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) { // NOLINT(cert-err52-cpp), as above
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_init_io(png, file);
    png_read_info(png, info);
    // Whatever the file holds, read it as 8-bit grey.
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_strip_alpha(png);
    png_set_rgb_to_gray_fixed(png, 1, -1, -1);
    png_read_update_info(png, info);
    *width = static_cast<int>(png_get_image_width(png, info));
    *height = static_cast<int>(png_get_image_height(png, info));
    std::size_t stride = png_get_rowbytes(png, info);
    pixels.assign(stride * static_cast<std::size_t>(*height), 0);
    std::vector<png_bytep> rows(static_cast<std::size_t>(*height));
    for (int y = 0; y < *height; ++y) {
        rows[static_cast<std::size_t>(y)] = pixels.data() + stride * static_cast<std::size_t>(y);
    }
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

} // namespace

bool write_png(const Raster& raster, const std::string& path, std::string* error) {
    PackedRows packed(raster.width());
    packed.add(raster, 0);
    return write_png(packed, path, error);
}

bool write_png(const PackedRows& packed, const std::string& path, std::string* error) {
    // libpng takes the rows as they stand; it only reads them.
    std::vector<png_bytep> rows(static_cast<std::size_t>(packed.height()));
    for (std::size_t y = 0; y < rows.size(); ++y) {
        rows[y] = const_cast<png_bytep>(packed.bytes.data() + packed.stride * y);
    }
    std::string temporary = path + ".part";
    File file(std::fopen(temporary.c_str(), "wb"));
    if (!file) {
        *error = temporary + ": " + std::strerror(errno);
        return false;
    }
    bool written = write_rows(file.get(), packed.width, rows);
    bool closed = std::fclose(file.release()) == 0;
    if (!written || !closed) {
        *error = temporary + ": could not write the picture";
        ::unlink(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        *error = path + ": " + std::strerror(errno);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

std::optional<Raster> read_png(const std::string& path, std::string* error) {
    File file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        *error = path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
    if (!read_rows(file.get(), &width, &height, pixels)) {
        *error = path + ": not a readable PNG";
        return std::nullopt;
    }
    Raster raster(width, height);
    std::size_t stride = pixels.size() / static_cast<std::size_t>(height > 0 ? height : 1);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            raster.set(x, y,
                       pixels[stride * static_cast<std::size_t>(y) + static_cast<std::size_t>(x)] <
                           128);
        }
    }
    return raster;
}

} // namespace vprinter
