#include "platform/user32/resources/icon_group.h"

#include "platform/user32/resources/byte_reader.h"

#include <array>
#include <string>

namespace user32 {

ReadResult<std::vector<IconGroupEntry>> ReadIconGroup(std::span<const std::uint8_t> bytes) {
    ByteReader r(bytes);
    WORD reserved = 0, type = 0, count = 0;
    if (!r.u16(reserved) || !r.u16(type) || !r.u16(count)) {
        return ReadError{"truncated icon directory", r.offset()};
    }
    if (reserved != 0 || type != 1) {
        return ReadError{"not an icon directory", 0};
    }
    constexpr std::size_t kEntrySize = 14;
    if (static_cast<std::size_t>(count) * kEntrySize > r.remaining()) {
        return ReadError{"icon count " + std::to_string(count) + " runs past the end", r.offset()};
    }
    std::vector<IconGroupEntry> entries;
    entries.reserve(count);
    for (WORD i = 0; i < count; ++i) {
        BYTE w = 0, h = 0, colors = 0, res = 0;
        IconGroupEntry e;
        r.u8(w);
        r.u8(h);
        r.u8(colors);
        r.u8(res);
        r.u16(e.planes);
        r.u16(e.bitCount);
        r.u32(e.bytesInRes);
        r.u16(e.imageId);
        e.width = w == 0 ? 256 : w;
        e.height = h == 0 ? 256 : h;
        e.colorCount = colors;
        entries.push_back(e);
    }
    return entries;
}

ReadResult<IconImage> ReadIconImage(std::span<const std::uint8_t> bytes) {
    static constexpr std::array<std::uint8_t, 8> kPng = {0x89, 'P',  'N',  'G',
                                                         0x0D, 0x0A, 0x1A, 0x0A};
    IconImage img;
    if (bytes.size() >= kPng.size() && std::equal(kPng.begin(), kPng.end(), bytes.begin())) {
        // The IHDR chunk comes first; its numbers are big-endian.
        if (bytes.size() < 8 + 8 + 13) {
            return ReadError{"truncated PNG header", bytes.size()};
        }
        const auto* p = bytes.data() + 8;
        if (!(p[4] == 'I' && p[5] == 'H' && p[6] == 'D' && p[7] == 'R')) {
            return ReadError{"PNG does not start with IHDR", 12};
        }
        auto be32 = [](const std::uint8_t* q) {
            return (std::uint32_t(q[0]) << 24) | (std::uint32_t(q[1]) << 16) |
                   (std::uint32_t(q[2]) << 8) | std::uint32_t(q[3]);
        };
        const std::uint32_t w = be32(p + 8), h = be32(p + 12);
        const int depth = p[16], colourType = p[17];
        int channels = 0;
        switch (colourType) {
        case 0:
            channels = 1;
            break; // grey
        case 2:
            channels = 3;
            break; // RGB
        case 3:
            channels = 1;
            break; // palette
        case 4:
            channels = 2;
            break; // grey + alpha
        case 6:
            channels = 4;
            break; // RGBA
        default:
            return ReadError{"unknown PNG colour type " + std::to_string(colourType), 25};
        }
        if (w == 0 || h == 0 || w > 0x10000 || h > 0x10000) {
            return ReadError{"PNG size out of range", 16};
        }
        // The depths each colour type allows; any other would report a bit
        // count no picture has.
        const bool paletteOrGrey = colourType == 0 || colourType == 3;
        const bool depthOk = depth == 8 || (depth == 16 && colourType != 3) ||
                             (paletteOrGrey && (depth == 1 || depth == 2 || depth == 4));
        if (!depthOk) {
            return ReadError{"bad PNG bit depth " + std::to_string(depth), 24};
        }
        img.png = true;
        img.width = static_cast<int>(w);
        img.height = static_cast<int>(h);
        img.bitCount = depth * channels;
        return img;
    }
    ByteReader r(bytes);
    DWORD size = 0;
    std::int32_t w = 0, h = 0;
    WORD planes = 0, bits = 0;
    if (!r.u32(size) || !r.i32(w) || !r.i32(h) || !r.u16(planes) || !r.u16(bits)) {
        return ReadError{"truncated bitmap header", r.offset()};
    }
    if (size < 40 || size > bytes.size()) {
        return ReadError{"bad bitmap header size " + std::to_string(size), 0};
    }
    // The height counts the colour and mask halves: below 2 the picture
    // would have no rows.
    if (w <= 0 || h < 2 || w > 0x10000 || h > 0x20000 || planes != 1) {
        return ReadError{"bitmap size or planes out of range", 4};
    }
    switch (bits) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        break;
    default:
        return ReadError{"unsupported bit count " + std::to_string(bits), 14};
    }
    img.width = w;
    img.height = h / 2; // an icon DIB counts the colour and mask halves
    img.bitCount = bits;
    return img;
}

} // namespace user32
