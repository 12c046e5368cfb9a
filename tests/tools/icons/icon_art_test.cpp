// The embedded icons are what tools/icons draws today: a picture changed
// without regenerating res/icons/ (or the reverse) shows up here.
#include "tests/res/byte_walker.h"
#include "tests/support/program_resources.h"
#include "tools/icons/picture.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

struct Decoded {
    int side = 0;
    int bitCount = 0;
    std::vector<icons::Rgba> pixels; // top row first
};

// Enough of a DIB decoder for the three depths the icons use.
Decoded Decode(std::span<const std::uint8_t> image) {
    ByteWalker in(image);
    in.u32();
    Decoded d;
    d.side = in.i32();
    in.i32();
    in.u16();
    d.bitCount = in.u16();
    const std::size_t palette = 40;
    const std::size_t colours = d.bitCount == 4 ? 16 : 0;
    const std::size_t bits = palette + 4 * colours;
    const std::size_t row = (std::size_t(d.side) * std::size_t(d.bitCount) + 31) / 32 * 4;
    const std::size_t mask = bits + row * std::size_t(d.side);
    const std::size_t maskRow = (std::size_t(d.side) + 31) / 32 * 4;
    for (int y = 0; y < d.side; ++y) {
        const std::size_t r = bits + row * std::size_t(d.side - 1 - y);
        const std::size_t m = mask + maskRow * std::size_t(d.side - 1 - y);
        for (int x = 0; x < d.side; ++x) {
            const auto ux = std::size_t(x);
            icons::Rgba p{};
            if (d.bitCount == 4) {
                const int index = (image[r + ux / 2] >> (x % 2 == 0 ? 4 : 0)) & 0xF;
                const std::size_t entry = palette + 4 * std::size_t(index);
                p = {image[entry + 2], image[entry + 1], image[entry], 255};
            } else if (d.bitCount == 24) {
                p = {image[r + 3 * ux + 2], image[r + 3 * ux + 1], image[r + 3 * ux], 255};
            } else {
                p = {image[r + 4 * ux + 2], image[r + 4 * ux + 1], image[r + 4 * ux],
                     image[r + 4 * ux + 3]};
            }
            // A 32-bit image carries its own alpha; the mask only matters
            // to the others.
            if (d.bitCount != 32 && (image[m + ux / 8] & (0x80 >> (x % 8)))) {
                p = {0, 0, 0, 0};
            }
            d.pixels.push_back(p);
        }
    }
    return d;
}

// Pixels that differ beyond rounding; the drawing is floating point, so a
// different compiler or optimisation may move an edge sample or two.
int Differences(const Decoded& embedded, const icons::Image& drawn) {
    int differences = 0;
    for (int y = 0; y < drawn.size; ++y) {
        for (int x = 0; x < drawn.size; ++x) {
            icons::Rgba want = drawn.at(x, y);
            if (embedded.bitCount != 32) {
                want = want.a >= 128 ? icons::Rgba{want.r, want.g, want.b, 255} : icons::Rgba{};
            }
            const icons::Rgba& got =
                embedded.pixels[std::size_t(y) * std::size_t(drawn.size) + std::size_t(x)];
            const bool close = std::abs(got.r - want.r) <= 2 && std::abs(got.g - want.g) <= 2 &&
                               std::abs(got.b - want.b) <= 2 && std::abs(got.a - want.a) <= 2;
            differences += !close;
        }
    }
    return differences;
}

std::vector<WORD> ImageIds(WORD group) {
    ByteWalker in(ResourceBytes(14, group, 2052));
    in.u16();
    in.u16();
    std::vector<WORD> ids(in.u16());
    for (WORD& id : ids) {
        in.seek(in.offset() + 12);
        id = in.u16();
    }
    return ids;
}

TEST(IconArt, EmbeddedIconsAreTheGeneratorsCurrentDrawing) {
    for (WORD group : {128, 136}) {
        for (WORD id : ImageIds(group)) {
            const Decoded embedded = Decode(ResourceBytes(3, id, 2052));
            SCOPED_TRACE(std::to_string(embedded.side) + " pixels, " +
                         std::to_string(embedded.bitCount) + " bits");
            const icons::Image drawn = embedded.bitCount == 4
                                           ? icons::draw_sixteen_colour(embedded.side)
                                           : icons::draw_true_colour(embedded.side);
            ASSERT_EQ(drawn.size, embedded.side);
            EXPECT_LE(Differences(embedded, drawn), embedded.side / 8)
                << "run the regenerate-icons target and commit res/icons/";
        }
    }
}

} // namespace
