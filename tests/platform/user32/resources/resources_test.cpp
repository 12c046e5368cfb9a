// The module resource table and the icons loaded from it.
#include "platform/afx/dialog_init.h"
#include "platform/entry/resource_table.h"
#include "platform/user32/resources/icons.h"
#include "platform/win32/user.h"
#include "tests/platform/user32/template_builder.h"

#include <gtest/gtest.h>

namespace tb = testing_bytes;

namespace {

HMODULE Module(std::uintptr_t v) {
    return reinterpret_cast<HMODULE>(v);
}

const BYTE kEnglish[] = {1, 2, 3};
const BYTE kChinese[] = {4, 5};
const BYTE kOther[] = {6};

const RESOURCE_ITEM kItems[] = {
    {ResourceTypeNumber(RT_DIALOG), 102, MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED),
     kChinese, sizeof kChinese},
    {ResourceTypeNumber(RT_DIALOG), 102, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), kEnglish,
     sizeof kEnglish},
    {ResourceTypeNumber(RT_DLGINIT), 102, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), kOther,
     sizeof kOther},
};

tb::Bytes Group(std::initializer_list<std::pair<int, int>> sizeAndId) {
    tb::Writer w;
    w.u16(0);
    w.u16(1);
    w.u16(static_cast<std::uint16_t>(sizeAndId.size()));
    for (auto [size, id] : sizeAndId) {
        w.u8(static_cast<std::uint8_t>(size));
        w.u8(static_cast<std::uint8_t>(size));
        w.u8(16);
        w.u8(0);
        w.u16(1);
        w.u16(4);
        w.u32(40);
        w.u16(static_cast<std::uint16_t>(id));
    }
    return w.bytes;
}

tb::Bytes Dib(int size) {
    tb::Writer w;
    w.u32(40);
    w.u32(static_cast<std::uint32_t>(size));
    w.u32(static_cast<std::uint32_t>(size * 2));
    w.u16(1);
    w.u16(4);
    for (int i = 0; i < 24; ++i) {
        w.u8(0);
    }
    return w.bytes;
}

} // namespace

TEST(Resources, LanguageExactFirstThenAny) {
    RegisterModuleResources(Module(0x710000), kItems, std::size(kItems));
    HRSRC en = FindResourceExW(Module(0x710000), RT_DIALOG, MAKEINTRESOURCEW(102),
                               MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    ASSERT_NE(en, nullptr);
    EXPECT_EQ(SizeofResource(Module(0x710000), en), 3u);
    const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(Module(0x710000), en)));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(bytes[0], 1);

    HRSRC zh = FindResourceExW(Module(0x710000), RT_DIALOG, MAKEINTRESOURCEW(102),
                               MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
    EXPECT_EQ(SizeofResource(Module(0x710000), zh), 2u);
    // A language the module does not have falls back to one it has.
    HRSRC other = FindResourceExW(Module(0x710000), RT_DLGINIT, MAKEINTRESOURCEW(102), 1031);
    EXPECT_EQ(SizeofResource(Module(0x710000), other), 1u);
    EXPECT_NE(FindResourceW(Module(0x710000), MAKEINTRESOURCEW(102), RT_DIALOG), nullptr);
}

TEST(Resources, MissingOrForeignLookupsFail) {
    RegisterModuleResources(Module(0x710000), kItems, std::size(kItems));
    EXPECT_EQ(FindResourceW(Module(0x710000), MAKEINTRESOURCEW(103), RT_DIALOG), nullptr);
    EXPECT_EQ(FindResourceW(Module(0x720000), MAKEINTRESOURCEW(102), RT_DIALOG), nullptr);
    EXPECT_EQ(FindResourceW(Module(0x710000), u"NAMED", RT_DIALOG), nullptr);
    // A resource handle of one module is not one of another.
    HRSRC en = FindResourceW(Module(0x710000), MAKEINTRESOURCEW(102), RT_DIALOG);
    RegisterModuleResources(Module(0x730000), kItems + 2, 1);
    EXPECT_EQ(SizeofResource(Module(0x730000), en), 0u);
    EXPECT_EQ(LoadResource(Module(0x730000), en), nullptr);
    RESOURCE_ITEM stray{};
    EXPECT_EQ(SizeofResource(Module(0x710000), reinterpret_cast<HRSRC>(&stray)), 0u);
}

TEST(Icons, LoadIconReadsTheGroupAndItsImages) {
    static const tb::Bytes group = Group({{32, 1}, {16, 2}});
    static const tb::Bytes big = Dib(32), small = Dib(16);
    static const tb::Bytes broken = Group({{32, 1}, {16, 9}}); // image 9 does not exist
    static const RESOURCE_ITEM items[] = {
        {ResourceTypeNumber(RT_GROUP_ICON), 128,
         MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), group.data(),
         static_cast<DWORD>(group.size())},
        {ResourceTypeNumber(RT_ICON), 1, MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED),
         big.data(), static_cast<DWORD>(big.size())},
        {ResourceTypeNumber(RT_ICON), 2, MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED),
         small.data(), static_cast<DWORD>(small.size())},
        {ResourceTypeNumber(RT_GROUP_ICON), 129,
         MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), broken.data(),
         static_cast<DWORD>(broken.size())},
    };
    RegisterModuleResources(Module(0x740000), items, std::size(items));
    HICON icon = LoadIconW(Module(0x740000), MAKEINTRESOURCEW(128));
    ASSERT_NE(icon, nullptr);
    const auto* images = user32::IconImages(icon);
    ASSERT_NE(images, nullptr);
    ASSERT_EQ(images->size(), 2u);
    EXPECT_EQ((*images)[0].width, 32);
    EXPECT_EQ((*images)[1].height, 16);
    EXPECT_EQ((*images)[1].bitCount, 4);

    EXPECT_EQ(LoadIconW(Module(0x740000), MAKEINTRESOURCEW(129)), nullptr);
    EXPECT_EQ(LoadIconW(Module(0x740000), MAKEINTRESOURCEW(130)), nullptr);

    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_FALSE(DestroyIcon(icon)); // already gone
    EXPECT_EQ(user32::IconImages(icon), nullptr);
}
