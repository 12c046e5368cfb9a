#include "tools/icons/icon_encoder.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

namespace icons {
namespace {

// Pixels less than half covered are left to the mask: a 24-bit or 4-bit image
// can only show them fully or not at all.
constexpr std::uint8_t kMaskThreshold = 128;

void Put16(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(std::uint8_t(value));
    out.push_back(std::uint8_t(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

std::size_t RowBytes(int width, int bitCount) {
    return (std::size_t(width) * std::size_t(bitCount) + 31) / 32 * 4;
}

int PaletteIndex(const Rgba& pixel) {
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

IconImage EncodeIconImage(const Image& image, int bitCount) {
    if (bitCount != 4 && bitCount != 24 && bitCount != 32) {
        throw std::invalid_argument("icon images are encoded in 4, 24 or 32 bits");
    }
    const int size = image.size;
    const std::size_t colourRow = RowBytes(size, bitCount);
    const std::size_t maskRow = RowBytes(size, 1);
    const std::size_t imageSize = (colourRow + maskRow) * std::size_t(size);

    std::vector<std::uint8_t> out;
    Put32(out, 40); // header size
    Put32(out, std::uint32_t(size));
    Put32(out, std::uint32_t(2 * size)); // colour bits and mask, stacked
    Put16(out, 1);                       // planes
    Put16(out, unsigned(bitCount));
    Put32(out, 0); // uncompressed
    Put32(out, std::uint32_t(imageSize));
    Put32(out, 0); // no preferred resolution
    Put32(out, 0);
    Put32(out, 0); // the whole palette for the bit count
    Put32(out, 0);
    if (bitCount == 4) {
        for (const Rgba& c : kSixteenColours) {
            out.insert(out.end(), {c.b, c.g, c.r, 0});
        }
    }

    // Bitmaps store the bottom row first.
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(colourRow, 0);
        for (int x = 0; x < size; ++x) {
            const Rgba& p = image.at(x, y);
            const bool shown = p.a >= kMaskThreshold;
            switch (bitCount) {
            case 4:
                if (shown) {
                    const int index = PaletteIndex(p);
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
        std::vector<std::uint8_t> row(maskRow, 0);
        for (int x = 0; x < size; ++x) {
            if (image.at(x, y).a < kMaskThreshold) {
                row[std::size_t(x / 8)] |= std::uint8_t(0x80 >> (x % 8));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return {size, bitCount, std::move(out)};
}

std::vector<std::uint8_t> IconFile(const std::vector<IconImage>& images) {
    std::vector<std::uint8_t> out;
    Put16(out, 0); // reserved
    Put16(out, 1); // icon
    Put16(out, unsigned(images.size()));
    std::size_t offset = 6 + 16 * images.size();
    for (const IconImage& image : images) {
        const auto side = std::uint8_t(image.size >= 256 ? 0 : image.size);
        out.push_back(side);
        out.push_back(side);
        out.push_back(image.bitCount == 4 ? 16 : 0); // colours, when a palette is used
        out.push_back(0);
        Put16(out, 1);
        Put16(out, unsigned(image.bitCount));
        Put32(out, std::uint32_t(image.bytes.size()));
        Put32(out, std::uint32_t(offset));
        offset += image.bytes.size();
    }
    for (const IconImage& image : images) {
        out.insert(out.end(), image.bytes.begin(), image.bytes.end());
    }
    return out;
}

void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    if (!out) {
        throw std::runtime_error(path.string() + ": cannot write");
    }
}

} // namespace icons
