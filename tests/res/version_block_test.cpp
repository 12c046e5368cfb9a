// The version block read back as a tree of length-prefixed blocks, the way a
// version reader walks it.
#include "byte_walker.h"
#include "tests/support/program_resources.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct Block {
    std::uint16_t length = 0;
    std::uint16_t valueLength = 0;
    std::uint16_t type = 0;
    std::u16string key;
    std::size_t valueOffset = 0;
    std::vector<Block> children;
};

// Reads the block at the walker's (aligned) position; a block's value
// length counts characters for text and bytes for binary values.
Block ReadBlock(ByteWalker& in) {
    in.align4();
    const std::size_t start = in.offset();
    Block b{};
    b.length = in.u16();
    b.valueLength = in.u16();
    b.type = in.u16();
    b.key = in.wideString();
    in.align4();
    b.valueOffset = in.offset();
    const std::size_t valueBytes = b.type == 1 ? 2u * b.valueLength : b.valueLength;
    const std::size_t end = start + b.length;
    if (end > in.size() || b.valueOffset + valueBytes > end) {
        throw std::runtime_error("block overruns its parent");
    }
    in.seek(b.valueOffset + valueBytes);
    while (in.offset() < end) {
        in.align4();
        b.children.push_back(ReadBlock(in));
        if (in.offset() > end) {
            throw std::runtime_error("child overruns its parent");
        }
    }
    return b;
}

struct VersionBlock : testing::Test {
    void SetUp() override {
        bytes = ResourceBytes(16, 1, 1033);
        ASSERT_FALSE(bytes.empty());
        ByteWalker in(bytes);
        root = ReadBlock(in);
        ASSERT_TRUE(in.atEnd());
    }
    std::u16string text(const Block& b) const {
        ByteWalker in(bytes);
        in.seek(b.valueOffset);
        return in.wideString();
    }
    std::span<const std::uint8_t> bytes;
    Block root;
};

TEST_F(VersionBlock, RootCoversTheWholeResource) {
    EXPECT_EQ(root.length, bytes.size());
    EXPECT_EQ(root.key, u"VS_VERSION_INFO");
    EXPECT_EQ(root.type, 0);
    EXPECT_EQ(root.valueLength, 52);
    ASSERT_EQ(root.children.size(), 2u);
    EXPECT_EQ(root.children[0].key, u"StringFileInfo");
    EXPECT_EQ(root.children[1].key, u"VarFileInfo");
}

// The numbers are the project's version, the one --version and the Windows
// installer give, so that a file manager shows the version that was installed.
constexpr std::uint32_t kVersionMS = (TALLYROLL_VERSION_MAJOR << 16) | TALLYROLL_VERSION_MINOR;
constexpr std::uint32_t kVersionLS = (TALLYROLL_VERSION_PATCH << 16) | TALLYROLL_VERSION_TWEAK;

TEST_F(VersionBlock, FixedPartGivesTheProjectVersionForAWindowsApplication) {
    ByteWalker in(bytes);
    in.seek(root.valueOffset);
    EXPECT_EQ(root.valueOffset % 4, 0u);
    EXPECT_EQ(in.u32(), 0xFEEF04BDu); // signature
    EXPECT_EQ(in.u32(), 0x00010000u); // structure version
    EXPECT_EQ(in.u32(), kVersionMS); // file version
    EXPECT_EQ(in.u32(), kVersionLS);
    EXPECT_EQ(in.u32(), kVersionMS); // product version
    EXPECT_EQ(in.u32(), kVersionLS);
    EXPECT_EQ(in.u32(), 0x3Fu); // flags mask
    EXPECT_EQ(in.u32(), 0u);    // flags
    EXPECT_EQ(in.u32(), 4u);    // 32-bit Windows
    EXPECT_EQ(in.u32(), 1u);    // application
    EXPECT_EQ(in.u32(), 0u);    // subtype
    EXPECT_EQ(in.u32(), 0u);    // date
    EXPECT_EQ(in.u32(), 0u);
}

TEST_F(VersionBlock, OneEnglishUnicodeStringTableWithTheNamesInOrder) {
    const Block& info = root.children[0];
    EXPECT_EQ(info.type, 1);
    EXPECT_EQ(info.valueLength, 0);
    ASSERT_EQ(info.children.size(), 1u);
    const Block& table = info.children[0];
    EXPECT_EQ(table.key, u"040904b0");
    EXPECT_EQ(table.valueLength, 0);

    const std::vector<std::pair<std::u16string, std::u16string>> expected = {
        {u"Comments", u""},
        {u"CompanyName", u""},
        {u"FileDescription", u"Tallyroll"},
        {u"FileVersion", u"2008-1"},
        {u"InternalName", u"tallyroll"},
        {u"LegalCopyright", u""},
        {u"LegalTrademarks", u""},
        {u"OriginalFilename", u"tallyroll.exe"},
        {u"PrivateBuild", u""},
        {u"ProductName", u"Tallyroll"},
        {u"ProductVersion", u"2006-1"},
        {u"SpecialBuild", u""},
    };
    ASSERT_EQ(table.children.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const Block& s = table.children[i];
        SCOPED_TRACE(std::string(expected[i].first.begin(), expected[i].first.end()));
        EXPECT_EQ(s.key, expected[i].first);
        EXPECT_EQ(s.type, 1);
        EXPECT_EQ(text(s), expected[i].second);
        // Characters with the terminating zero, even for an empty value.
        EXPECT_EQ(s.valueLength, expected[i].second.size() + 1);
        EXPECT_TRUE(s.children.empty());
    }
}

TEST_F(VersionBlock, TranslationNamesUsEnglishInUnicode) {
    const Block& var = root.children[1];
    EXPECT_EQ(var.type, 1);
    ASSERT_EQ(var.children.size(), 1u);
    const Block& translation = var.children[0];
    EXPECT_EQ(translation.key, u"Translation");
    EXPECT_EQ(translation.type, 0);
    EXPECT_EQ(translation.valueLength, 4);
    ByteWalker in(bytes);
    in.seek(translation.valueOffset);
    EXPECT_EQ(in.u16(), 0x0409);
    EXPECT_EQ(in.u16(), 0x04B0);
}

} // namespace
