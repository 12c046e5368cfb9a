#include "res/compiler/icon_file.h"

#include "res/compiler/byte_writer.h"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace res {
namespace {

constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::size_t kInfoHeaderSize = 40;

std::uint32_t Read16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (std::uint32_t(b[at + 1]) << 8);
}

std::uint32_t Read32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return Read16(b, at) | (Read16(b, at + 2) << 16);
}

std::int32_t ReadSigned32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::int32_t>(Read32(b, at));
}

std::size_t RowBytes(std::size_t width, std::size_t bitCount) {
    return (width * bitCount + 31) / 32 * 4;
}

// The bytes a DIB icon image needs: header, colour table, colour rows and the
// one-bit AND mask rows.
std::size_t ExpectedImageSize(std::size_t width, std::size_t height, std::size_t bitCount) {
    std::size_t colours = bitCount <= 8 ? (std::size_t{1} << bitCount) : 0;
    return kInfoHeaderSize + colours * 4 + RowBytes(width, bitCount) * height +
           RowBytes(width, 1) * height;
}

void CheckImage(const IconImage& image, const std::string& where) {
    const auto& b = image.bytes;
    auto fail = [&](const std::string& what) { throw std::runtime_error(where + ": " + what); };
    if (b.size() >= 4 && b[0] == 0x89 && b[1] == 'P' && b[2] == 'N' && b[3] == 'G') {
        fail("PNG-compressed images are not supported; store a bitmap");
    }
    if (b.size() < kInfoHeaderSize || Read32(b, 0) != kInfoHeaderSize) {
        fail("image does not start with a BITMAPINFOHEADER");
    }
    const std::size_t width = image.width == 0 ? 256 : image.width;
    const std::size_t height = image.height == 0 ? 256 : image.height;
    if (ReadSigned32(b, 4) != std::int32_t(width) ||
        ReadSigned32(b, 8) != std::int32_t(2 * height)) {
        fail("bitmap size disagrees with the directory entry");
    }
    const std::uint32_t bitCount = Read16(b, 14);
    if (Read16(b, 12) != 1 || bitCount != image.bitCount) {
        fail("bitmap planes or bit count disagree with the directory entry");
    }
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32) {
        fail("unsupported bit count " + std::to_string(bitCount));
    }
    if (Read32(b, 16) != 0) {
        fail("compressed bitmaps are not supported");
    }
    if (b.size() != ExpectedImageSize(width, height, bitCount)) {
        fail("image is " + std::to_string(b.size()) + " bytes, its dimensions need " +
             std::to_string(ExpectedImageSize(width, height, bitCount)));
    }
}

} // namespace

std::vector<IconImage> ReadIconFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error(path.string() + ": cannot open");
    }
    const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in),
                                         std::istreambuf_iterator<char>()};
    const std::string name = path.string();
    if (file.size() < kDirectorySize || Read16(file, 0) != 0 || Read16(file, 2) != 1) {
        throw std::runtime_error(name + ": not an icon file");
    }
    const std::size_t count = Read16(file, 4);
    if (count == 0 || file.size() < kDirectorySize + count * kEntrySize) {
        throw std::runtime_error(name + ": icon directory is empty or cut short");
    }

    std::vector<IconImage> images;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = kDirectorySize + i * kEntrySize;
        IconImage image;
        image.width = file[entry];
        image.height = file[entry + 1];
        image.colorCount = file[entry + 2];
        image.planes = static_cast<WORD>(Read16(file, entry + 4));
        image.bitCount = static_cast<WORD>(Read16(file, entry + 6));
        const std::size_t size = Read32(file, entry + 8);
        const std::size_t offset = Read32(file, entry + 12);
        const std::string where = name + ", image " + std::to_string(i + 1);
        if (offset > file.size() || size > file.size() - offset) {
            throw std::runtime_error(where + ": lies outside the file");
        }
        image.bytes.assign(file.begin() + std::ptrdiff_t(offset),
                           file.begin() + std::ptrdiff_t(offset + size));
        CheckImage(image, where);
        images.push_back(std::move(image));
    }
    return images;
}

std::vector<std::uint8_t> LayOutIconGroup(const std::vector<IconImage>& images, WORD firstId) {
    ByteWriter out;
    out.u16(0); // reserved
    out.u16(1); // icons, not cursors
    out.u16(static_cast<WORD>(images.size()));
    WORD id = firstId;
    for (const IconImage& image : images) {
        out.u8(image.width);
        out.u8(image.height);
        out.u8(image.colorCount);
        out.u8(0); // reserved
        out.u16(image.planes);
        out.u16(image.bitCount);
        out.u32(static_cast<DWORD>(image.bytes.size()));
        out.u16(id++);
    }
    return out.bytes();
}

} // namespace res
