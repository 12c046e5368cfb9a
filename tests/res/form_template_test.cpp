// Form template 102 read back field by field as a dialog manager reads an
// extended template.
#include "byte_walker.h"
#include "tests/support/program_resources.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct Control {
    std::uint32_t helpId;
    std::uint32_t exStyle;
    std::uint32_t style;
    std::int16_t x, y, cx, cy;
    std::uint32_t id;
    std::uint16_t classMarker;
    std::uint16_t classOrdinal;
    std::u16string text;
    std::uint16_t creationDataSize;
    std::size_t offset;
};

struct Form {
    std::uint16_t version, signature;
    std::uint32_t helpId, exStyle, style;
    std::uint16_t count;
    std::int16_t x, y, cx, cy;
    std::uint16_t menu, windowClass;
    std::u16string caption;
    std::uint16_t pointSize, weight;
    std::uint8_t italic, charset;
    std::u16string face;
    std::vector<Control> controls;
    bool consumedExactly;
};

Form ReadForm() {
    const auto bytes = FormTemplate();
    ByteWalker in(bytes);
    Form f{};
    f.version = in.u16();
    f.signature = in.u16();
    f.helpId = in.u32();
    f.exStyle = in.u32();
    f.style = in.u32();
    f.count = in.u16();
    f.x = in.i16();
    f.y = in.i16();
    f.cx = in.i16();
    f.cy = in.i16();
    f.menu = in.u16();
    f.windowClass = in.u16();
    f.caption = in.wideString();
    f.pointSize = in.u16();
    f.weight = in.u16();
    f.italic = in.u8();
    f.charset = in.u8();
    f.face = in.wideString();
    for (int i = 0; i < f.count; ++i) {
        in.align4();
        Control c{};
        c.offset = in.offset();
        c.helpId = in.u32();
        c.exStyle = in.u32();
        c.style = in.u32();
        c.x = in.i16();
        c.y = in.i16();
        c.cx = in.i16();
        c.cy = in.i16();
        c.id = in.u32();
        c.classMarker = in.u16();
        c.classOrdinal = in.u16();
        c.text = in.wideString();
        c.creationDataSize = in.u16();
        f.controls.push_back(c);
    }
    f.consumedExactly = in.atEnd();
    return f;
}

TEST(FormTemplate, IsRegisteredInEnglishAndAlignedForItsFields) {
    const auto bytes = FormTemplate();
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(bytes.data()) % 4, 0u);
}

TEST(FormTemplate, HeaderIsAnExtendedTemplateWithTheFormsLook) {
    const Form f = ReadForm();
    EXPECT_EQ(f.version, 1);
    EXPECT_EQ(f.signature, 0xFFFF);
    EXPECT_EQ(f.helpId, 0u);
    EXPECT_EQ(f.exStyle, 0x80040000u);
    EXPECT_EQ(f.style, 0x90C800C0u);
    EXPECT_EQ(f.count, 19);
    EXPECT_EQ(f.x, 0);
    EXPECT_EQ(f.y, 0);
    EXPECT_EQ(f.cx, 141);
    EXPECT_EQ(f.cy, 155);
    EXPECT_EQ(f.menu, 0);
    EXPECT_EQ(f.windowClass, 0);
    EXPECT_EQ(f.caption, u"Tallyroll (2.0)");
}

// The caption names the release that --version prints: a new project version
// without a new caption, or a caption edited alone, fails here.
TEST(FormTemplate, CaptionNamesTheVersionThatVersionPrints) {
    const std::string version = TALLYROLL_VERSION;
    EXPECT_EQ(ReadForm().caption,
              u"Tallyroll (" + std::u16string(version.begin(), version.end()) + u")");
}

TEST(FormTemplate, FontFieldsAreThereBecauseTheStyleSaysSo) {
    const Form f = ReadForm();
    ASSERT_NE(f.style & 0x40u, 0u); // DS_SETFONT
    EXPECT_EQ(f.pointSize, 8);
    EXPECT_EQ(f.weight, 0); // the face's own weight
    EXPECT_EQ(f.italic, 0);
    EXPECT_EQ(f.charset, 1); // the system's default character set
    EXPECT_EQ(f.face, u"System");
}

TEST(FormTemplate, HoldsNothingAfterTheLastControl) {
    const Form f = ReadForm();
    ASSERT_EQ(f.controls.size(), 19u);
    EXPECT_TRUE(f.consumedExactly);
}

struct ExpectedControl {
    std::uint32_t id;
    std::uint16_t classOrdinal;
    std::u16string_view text;
    std::int16_t x, y, cx, cy;
    std::uint32_t style;
};

constexpr std::uint16_t kButton = 0x80, kEdit = 0x81, kStatic = 0x82, kCombo = 0x85;

// clang-format off
const ExpectedControl kExpected[] = {
    {65535, kStatic, u"COM",                        6,  22,  18,   8, 0x50020000},
    {1002,  kCombo,  u"",                          26,  20,  27, 117, 0x50210402},
    {1003,  kEdit,   u"",                           0, 106, 137,  48, 0x50A11044},
    {65535, kStatic, u"Width:",                    18,  53,  22,   9, 0x50020000},
    {65535, kStatic, u"Height:",                   77,  53,  22,   9, 0x50020000},
    {1005,  kCombo,  u"",                          42,  52,  19,  84, 0x50210102},
    {1006,  kCombo,  u"",                         102,  52,  19,  90, 0x50210102},
    {1007,  kButton, u"Underline",                  7,  68,  43,  11, 0x50010003},
    {1008,  kButton, u"Direction",                 54,  68,  39,  11, 0x50010003},
    {1009,  kButton, u"White",                    101,  68,  31,  10, 0x50010003},
    {65535, kButton, u"Font && Format",             0,  40, 137,  42, 0x50010007},
    {1010,  kButton, u"Print",                     58,   8,  28,  21, 0x50000001},
    {1011,  kButton, u"Test",                      90,   8,  20,  21, 0x50010000},
    {2,     kButton, u"Quit",                     114,   8,  20,  21, 0x50010000},
    {1013,  kEdit,   u"",                           2,  93, 115,  12, 0x50810880},
    {65535, kStatic, u"Choose file to print ...",   3,  84,  92,   8, 0x50020000},
    {1014,  kButton, u"...",                      120,  93,  16,  12, 0x50010000},
    {1016,  kCombo,  u"",                          26,   6,  27,  58, 0x50210002},
    {65535, kStatic, u"Printer",                    3,   9,  24,  10, 0x50020000},
};
// clang-format on

class FormControl : public testing::TestWithParam<std::size_t> {};

TEST_P(FormControl, MatchesTheFormsTableInTabOrder) {
    const Form f = ReadForm();
    const std::size_t i = GetParam();
    ASSERT_LT(i, f.controls.size());
    const Control& c = f.controls[i];
    const ExpectedControl& e = kExpected[i];
    EXPECT_EQ(c.offset % 4, 0u);
    EXPECT_EQ(c.helpId, 0u);
    EXPECT_EQ(c.exStyle, 0u);
    EXPECT_EQ(c.style, e.style);
    EXPECT_EQ(c.x, e.x);
    EXPECT_EQ(c.y, e.y);
    EXPECT_EQ(c.cx, e.cx);
    EXPECT_EQ(c.cy, e.cy);
    EXPECT_EQ(c.id, e.id);
    EXPECT_EQ(c.classMarker, 0xFFFF);
    EXPECT_EQ(c.classOrdinal, e.classOrdinal);
    EXPECT_EQ(c.text, e.text);
    EXPECT_EQ(c.creationDataSize, 0);
}

INSTANTIATE_TEST_SUITE_P(All19, FormControl, testing::Range<std::size_t>(0, std::size(kExpected)),
                         [](const auto& param) {
                             return "Control" + std::to_string(param.param + 1);
                         });

} // namespace
