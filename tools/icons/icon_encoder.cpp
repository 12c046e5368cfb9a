#include "tools/icons/icon_encoder.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

namespace icons {
namespace {

// Pixels less than half covered are left to the mask: a 24-bit or 4-bit image
// can only show them fully or not at all.
constexpr std::uint8_t kMaskThreshold = 128;

void put16(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(std::uint8_t(value));
    out.push_back(std::uint8_t(value >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

std::size_t row_bytes(int width, int bit_count) {
    return (std::size_t(width) * std::size_t(bit_count) + 31) / 32 * 4;
}

int palette_index(const Rgba& pixel) {
    const auto* const found =
        std::find_if(kSixteenColours.begin(), kSixteenColours.end(), [&](const Rgba& c) {
            return c.r == pixel.r && c.g == pixel.g && c.b == pixel.b;
        });
    if (found == kSixteenColours.end()) {
        throw std::invalid_argument("a 4-bit icon needs a picture in the sixteen colours");
    }
    return int(found - kSixteenColours.begin());
}

} // namespace

IconImage encode_icon_image(const Image& image, int bit_count) {
    if (bit_count != 4 && bit_count != 24 && bit_count != 32) {
        throw std::invalid_argument("icon images are encoded in 4, 24 or 32 bits");
    }
    const int size = image.size;
    const std::size_t colour_row = row_bytes(size, bit_count);
    const std::size_t mask_row = row_bytes(size, 1);
    const std::size_t image_size = (colour_row + mask_row) * std::size_t(size);

    std::vector<std::uint8_t> out;
    put32(out, 40); // header size
    put32(out, std::uint32_t(size));
    put32(out, std::uint32_t(2 * size)); // colour bits and mask, stacked
    put16(out, 1);                       // planes
    put16(out, unsigned(bit_count));
    put32(out, 0); // uncompressed
    put32(out, std::uint32_t(image_size));
    put32(out, 0); // no preferred resolution
    put32(out, 0);
    put32(out, 0); // the whole palette for the bit count
    put32(out, 0);
    if (bit_count == 4) {
        for (const Rgba& c : kSixteenColours) {
            out.insert(out.end(), {c.b, c.g, c.r, 0});
        }
    }

    // Bitmaps store the bottom row first.
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(colour_row, 0);
        for (int x = 0; x < size; ++x) {
            const Rgba& p = image.at(x, y);
            const bool shown = p.a >= kMaskThreshold;
            switch (bit_count) {
            case 4:
                if (shown) {
                    const int index = palette_index(p);
                    row[std::size_t(x / 2)] |= std::uint8_t(x % 2 == 0 ? index << 4 : index);
                }
                break;
            case 24:
                if (shown) {
                    row[std::size_t(x) * 3] = p.b;
                    row[std::size_t(x) * 3 + 1] = p.g;
                    row[std::size_t(x) * 3 + 2] = p.r;
                }
                break;
            default:
                if (p.a != 0) {
                    std::copy_n(std::data({p.b, p.g, p.r, p.a}), 4,
                                row.begin() + std::ptrdiff_t(x) * 4);
                }
                break;
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(mask_row, 0);
        for (int x = 0; x < size; ++x) {
            if (image.at(x, y).a < kMaskThreshold) {
                row[std::size_t(x / 8)] |= std::uint8_t(0x80 >> (x % 8));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return {size, bit_count, std::move(out)};
}

std::vector<std::uint8_t> icon_file(const std::vector<IconImage>& images) {
    std::vector<std::uint8_t> out;
    put16(out, 0); // reserved
    put16(out, 1); // icon
    put16(out, unsigned(images.size()));
    std::size_t offset = 6 + 16 * images.size();
    for (const IconImage& image : images) {
        const auto side = std::uint8_t(image.size >= 256 ? 0 : image.size);
        out.push_back(side);
        out.push_back(side);
        out.push_back(image.bit_count == 4 ? 16 : 0); // colours, when a palette is used
        out.push_back(0);
        put16(out, 1);
        put16(out, unsigned(image.bit_count));
        put32(out, std::uint32_t(image.bytes.size()));
        put32(out, std::uint32_t(offset));
        offset += image.bytes.size();
    }
    for (const IconImage& image : images) {
        out.insert(out.end(), image.bytes.begin(), image.bytes.end());
    }
    return out;
}

void write_bytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    if (!out) {
        throw std::runtime_error(path.string() + ": cannot write");
    }
}

} // namespace icons
