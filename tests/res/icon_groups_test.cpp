// Icon groups 128 and 136: their directories, the icon images they name, and
// the bitmaps inside those images.
#include "byte_walker.h"
#include "tests/support/program_resources.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr WORD kChinesePrc = 2052;

struct GroupEntry {
    std::uint8_t width, height, colourCount, reserved;
    std::uint16_t planes, bitCount;
    std::uint32_t bytes;
    std::uint16_t id;
};

std::vector<GroupEntry> ReadGroup(WORD id) {
    const auto bytes = ResourceBytes(14, id, kChinesePrc);
    ByteWalker in(bytes);
    EXPECT_EQ(in.u16(), 0);
    EXPECT_EQ(in.u16(), 1); // icons, not cursors
    std::vector<GroupEntry> entries(in.u16());
    for (GroupEntry& e : entries) {
        e.width = in.u8();
        e.height = in.u8();
        e.colourCount = in.u8();
        e.reserved = in.u8();
        e.planes = in.u16();
        e.bitCount = in.u16();
        e.bytes = in.u32();
        e.id = in.u16();
    }
    EXPECT_TRUE(in.atEnd());
    return entries;
}

struct Expected {
    int side;
    int colourCount;
    int bitCount;
};

struct GroupCase {
    WORD id;
    std::vector<Expected> images;
};

class IconGroup : public testing::TestWithParam<GroupCase> {};

TEST_P(IconGroup, DirectoryListsTheSizesAndDepths) {
    const GroupCase& g = GetParam();
    const std::vector<GroupEntry> entries = ReadGroup(g.id);
    ASSERT_EQ(entries.size(), g.images.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE("image " + std::to_string(i + 1));
        EXPECT_EQ(entries[i].width, g.images[i].side);
        EXPECT_EQ(entries[i].height, g.images[i].side);
        EXPECT_EQ(entries[i].colourCount, g.images[i].colourCount);
        EXPECT_EQ(entries[i].reserved, 0);
        EXPECT_EQ(entries[i].planes, 1);
        EXPECT_EQ(entries[i].bitCount, g.images[i].bitCount);
    }
}

// Each entry names an icon resource of the group's language whose size is
// the one given, holding a bitmap of the stated size and depth with room for
// its colour table, colour rows and AND mask rows.
TEST_P(IconGroup, EachImageIsABitmapWithAnAndMask) {
    for (const GroupEntry& e : ReadGroup(GetParam().id)) {
        SCOPED_TRACE("icon " + std::to_string(e.id));
        const auto image = ResourceBytes(3, e.id, kChinesePrc);
        ASSERT_FALSE(image.empty());
        EXPECT_EQ(image.size(), e.bytes);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(image.data()) % 4, 0u);

        ByteWalker in(image);
        EXPECT_EQ(in.u32(), 40u); // BITMAPINFOHEADER
        const std::int32_t width = in.i32();
        const std::int32_t height = in.i32();
        EXPECT_EQ(width, e.width);
        EXPECT_EQ(height, 2 * e.height) << "height counts the colour rows and the mask rows";
        EXPECT_EQ(in.u16(), 1);
        const std::uint16_t bitCount = in.u16();
        EXPECT_EQ(bitCount, e.bitCount);
        EXPECT_EQ(in.u32(), 0u); // uncompressed

        const std::size_t colours = bitCount <= 8 ? std::size_t{1} << bitCount : 0;
        const std::size_t colourRow = (std::size_t(width) * bitCount + 31) / 32 * 4;
        const std::size_t maskRow = (std::size_t(width) + 31) / 32 * 4;
        EXPECT_EQ(image.size(), 40 + 4 * colours + (colourRow + maskRow) * std::size_t(height / 2));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Groups, IconGroup,
    testing::Values(GroupCase{128, {{32, 16, 4}, {16, 16, 4}}},
                    GroupCase{136,
                              {{128, 0, 32}, {64, 0, 32}, {48, 0, 32}, {32, 0, 24}, {16, 0, 32}}}),
    [](const auto& param) { return "Group" + std::to_string(param.param.id); });

// A bitmap of an icon image, decoded enough to ask what a pixel shows.
class IconBitmap {
public:
    explicit IconBitmap(std::span<const std::uint8_t> image) : image_(image) {
        ByteWalker in(image);
        in.u32();
        const std::int32_t side = in.i32();
        in.i32();
        in.u16();
        const std::uint16_t bitCount = in.u16();
        const std::size_t colours = bitCount <= 8 ? std::size_t{1} << bitCount : 0;
        side_ = side;
        bitCount_ = bitCount;
        colourRows_ = 40 + 4 * colours;
        colourRow_ = (std::size_t(side) * bitCount + 31) / 32 * 4;
        maskRows_ = colourRows_ + colourRow_ * std::size_t(side);
        maskRow_ = (std::size_t(side) + 31) / 32 * 4;
    }

    int side() const { return side_; }

    // x, y from the top left; bitmaps store the bottom row first.
    bool transparent(int x, int y) const {
        const std::size_t row = maskRows_ + maskRow_ * std::size_t(side_ - 1 - y);
        return (image_[row + std::size_t(x) / 8] & (0x80 >> (x % 8))) != 0;
    }

    int alpha(int x, int y) const {
        return image_[colourRows_ + colourRow_ * std::size_t(side_ - 1 - y) + std::size_t(x) * 4 +
                      3];
    }
    int bitCount() const { return bitCount_; }

private:
    std::span<const std::uint8_t> image_;
    int side_ = 0;
    int bitCount_ = 0;
    std::size_t colourRows_ = 0, colourRow_ = 0, maskRows_ = 0, maskRow_ = 0;
};

std::vector<IconBitmap> AllImages() {
    std::vector<IconBitmap> out;
    for (WORD group : {128, 136}) {
        for (const GroupEntry& e : ReadGroup(group)) {
            out.emplace_back(ResourceBytes(3, e.id, kChinesePrc));
        }
    }
    return out;
}

// The picture leaves the corners of its square free and covers its middle;
// a mask that was inverted, shifted or left empty fails one of them.
TEST(IconPicture, MaskShowsThePictureAndHidesTheCorners) {
    for (const IconBitmap& b : AllImages()) {
        SCOPED_TRACE(std::to_string(b.side()) + " pixels, " + std::to_string(b.bitCount()) +
                     " bits");
        const int last = b.side() - 1;
        EXPECT_TRUE(b.transparent(0, 0));
        EXPECT_TRUE(b.transparent(last, 0));
        EXPECT_FALSE(b.transparent(b.side() / 2, b.side() / 2));
        EXPECT_FALSE(b.transparent(b.side() / 2, b.side() * 3 / 4));
    }
}

// Where a true-colour image carries its own transparency, its mask must
// agree, or old and new drawing code would show different outlines.
TEST(IconPicture, AlphaAndMaskAgree) {
    for (const IconBitmap& b : AllImages()) {
        if (b.bitCount() != 32) {
            continue;
        }
        SCOPED_TRACE(std::to_string(b.side()) + " pixels");
        int disagreements = 0;
        for (int y = 0; y < b.side(); ++y) {
            for (int x = 0; x < b.side(); ++x) {
                disagreements += b.transparent(x, y) != (b.alpha(x, y) < 128);
            }
        }
        EXPECT_EQ(disagreements, 0);
    }
}

} // namespace
