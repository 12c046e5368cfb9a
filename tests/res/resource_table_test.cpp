// What the program module holds, as a whole, and the committed pictures that
// the desktop installation uses.
#include "platform/entry/resource_table.h"
#include "tests/support/program_resources.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <tuple>
#include <vector>

namespace {

using Key = std::tuple<int, int, int>; // type, id, language

TEST(ResourceTable, HoldsExactlyTheProgramsResourcesInTheirLanguages) {
    std::vector<Key> keys;
    for (const RESOURCE_ITEM& item : ProgramResourceTable()) {
        keys.emplace_back(item.type, item.id, item.language);
        EXPECT_NE(item.data, nullptr);
        EXPECT_GT(item.size, 0u);
    }
    std::sort(keys.begin(), keys.end());
    // Icons are marked Chinese (PRC); the form, its lists and the version
    // block English (US). Icon images 1-2 belong to group 128, 3-7 to 136.
    const std::vector<Key> expected = {
        {3, 1, 2052},    {3, 2, 2052},    {3, 3, 2052},  {3, 4, 2052},
        {3, 5, 2052},    {3, 6, 2052},    {3, 7, 2052},  {5, 102, 1033},
        {14, 128, 2052}, {14, 136, 2052}, {16, 1, 1033}, {240, 102, 1033},
    };
    EXPECT_EQ(keys, expected);
}

#ifndef _WIN32
TEST(ResourceTable, CountMayBeOmitted) {
    std::size_t count = 0;
    EXPECT_EQ(ProgramResources(nullptr), ProgramResources(&count));
}
#endif

// The desktop icons are the same pictures as icon group 136, one PNG per
// size; a stale or missing file would install a wrong icon.
TEST(DesktopIcons, OnePngPerSizeOfTheLargeGroup) {
    for (int side : {128, 64, 48, 32, 16}) {
        const std::string path = std::string(TALLYROLL_SOURCE_DIR) + "/res/icons/png/tallyroll-" +
                                 std::to_string(side) + ".png";
        SCOPED_TRACE(path);
        std::ifstream in(path, std::ios::binary);
        ASSERT_TRUE(in);
        const std::vector<unsigned char> png{std::istreambuf_iterator<char>(in), {}};
        ASSERT_GE(png.size(), 26u);
        const std::array<unsigned char, 8> signature = {0x89, 'P',  'N',  'G',
                                                        '\r', '\n', 0x1A, '\n'};
        EXPECT_TRUE(std::equal(signature.begin(), signature.end(), png.begin()));
        auto be32 = [&](std::size_t at) {
            return (std::uint32_t(png[at]) << 24) | (std::uint32_t(png[at + 1]) << 16) |
                   (std::uint32_t(png[at + 2]) << 8) | png[at + 3];
        };
        EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
        EXPECT_EQ(be32(16), std::uint32_t(side));
        EXPECT_EQ(be32(20), std::uint32_t(side));
        EXPECT_EQ(png[25], 6) << "RGBA, so that the picture keeps its transparent edges";
    }
}

} // namespace
