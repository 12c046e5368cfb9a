// The resource readers against bytes written in the standard layouts, and
// against malformed bytes, which must be refused without reading past the end.
#include "platform/user32/resources/dialog_template.h"
#include "platform/user32/resources/icon_group.h"
#include "platform/user32/resources/version_info.h"
#include "tests/platform/user32/template_builder.h"

#include <gtest/gtest.h>

namespace tb = testing_bytes;
using namespace user32;

namespace {

tb::Dialog SmallDialog() {
    tb::Dialog d;
    d.style = 0x90C800C0; // DS_SETFONT among others
    d.exStyle = 0x80000000;
    d.cx = 100;
    d.cy = 50;
    d.caption = u"Caption";
    tb::Control ok;
    ok.classOrdinal = 0x80;
    ok.id = 1;
    ok.text = u"O&K";
    ok.x = 5;
    ok.y = 6;
    ok.cx = 30;
    ok.cy = 12;
    ok.style = 0x50010001;
    tb::Control named;
    named.className = u"Edit";
    named.id = 7;
    named.text = u"x";
    named.style = 0x50810080;
    named.creationData = {1, 2, 3};
    d.controls = {ok, named};
    return d;
}

std::vector<std::uint8_t> Le16(std::initializer_list<int> words) {
    std::vector<std::uint8_t> out;
    for (int w : words) {
        out.push_back(static_cast<std::uint8_t>(w));
        out.push_back(static_cast<std::uint8_t>(w >> 8));
    }
    return out;
}

class DialogLayouts : public ::testing::TestWithParam<bool> {
protected:
    tb::Bytes Write(const tb::Dialog& d) const {
        return GetParam() ? tb::DialogEx(d) : tb::DialogClassic(d);
    }
};

} // namespace

TEST_P(DialogLayouts, ReadsHeaderFontAndControls) {
    const auto r = ReadDialogTemplate(Write(SmallDialog()));
    ASSERT_TRUE(r.ok()) << r.error().message;
    const DialogTemplate& t = r.value();
    EXPECT_EQ(t.extended, GetParam());
    EXPECT_EQ(t.style, 0x90C800C0u);
    EXPECT_EQ(t.exStyle, 0x80000000u);
    EXPECT_EQ(t.cx, 100);
    EXPECT_EQ(t.cy, 50);
    EXPECT_EQ(t.title, u"Caption");
    EXPECT_TRUE(t.hasFont);
    EXPECT_EQ(t.pointSize, 8);
    EXPECT_EQ(t.typeface, u"System");
    ASSERT_EQ(t.items.size(), 2u);
    EXPECT_TRUE(t.items[0].windowClass.isOrdinal);
    EXPECT_EQ(t.items[0].windowClass.ordinal, kClassButton);
    EXPECT_EQ(t.items[0].text.name, u"O&K");
    EXPECT_EQ(t.items[0].id, 1u);
    EXPECT_EQ(t.items[0].style, 0x50010001u);
    EXPECT_EQ(t.items[0].x, 5);
    EXPECT_EQ(t.items[0].cy, 12);
    EXPECT_FALSE(t.items[1].windowClass.isOrdinal);
    EXPECT_EQ(t.items[1].windowClass.name, u"Edit");
    EXPECT_EQ(t.items[1].creationData, (std::vector<BYTE>{1, 2, 3}));
}

TEST_P(DialogLayouts, FontFieldsOnlyWithSetFont) {
    tb::Dialog d = SmallDialog();
    d.style &= ~0x40u;
    const auto r = ReadDialogTemplate(Write(d));
    ASSERT_TRUE(r.ok()) << r.error().message;
    EXPECT_FALSE(r->hasFont);
    EXPECT_EQ(r->items.size(), 2u);
    EXPECT_EQ(r->items[1].windowClass.name, u"Edit");
}

TEST_P(DialogLayouts, EveryTruncationIsRefused) {
    const tb::Bytes full = Write(SmallDialog());
    for (std::size_t n = 0; n < full.size(); ++n) {
        const std::vector<std::uint8_t> cut(full.begin(), full.begin() + static_cast<long>(n));
        EXPECT_FALSE(ReadDialogTemplate(cut).ok()) << "accepted " << n << " of " << full.size();
    }
}

INSTANTIATE_TEST_SUITE_P(ExtendedAndClassic, DialogLayouts, ::testing::Bool());

TEST(DialogTemplateReader, RefusesMalformedHeaders) {
    tb::Bytes ex = tb::DialogEx(SmallDialog());
    tb::Bytes badVersion = ex;
    badVersion[0] = 2;
    EXPECT_FALSE(ReadDialogTemplate(badVersion).ok());

    // A control count far beyond what the bytes can hold.
    tb::Bytes tooMany = ex;
    tooMany[16] = 0xFF;
    tooMany[17] = 0xFF;
    EXPECT_FALSE(ReadDialogTemplate(tooMany).ok());

    // Creation data whose size runs past the end.
    tb::Bytes longData = ex;
    longData[longData.size() - 5] = 0xFF; // the size word before the three bytes
    EXPECT_FALSE(ReadDialogTemplate(longData).ok());

    EXPECT_FALSE(ReadDialogTemplate({}).ok());
}

TEST(DialogTemplateReader, ItemsStartOnDwordBoundaries) {
    // Caption "ab" leaves the header at a length that is not a multiple of 4;
    // the padding must be skipped, not read as the first control.
    tb::Dialog d = SmallDialog();
    d.style &= ~0x40u;
    d.caption = u"ab";
    d.controls.resize(1);
    const tb::Bytes bytes = tb::DialogEx(d);
    const auto r = ReadDialogTemplate(bytes);
    ASSERT_TRUE(r.ok()) << r.error().message;
    EXPECT_EQ(r->items[0].style, 0x50010001u);
    EXPECT_EQ(r->items[0].text.name, u"O&K");
}

TEST(DialogTemplateReader, TextAsOrdinal) {
    tb::Dialog d = SmallDialog();
    d.controls.resize(1);
    tb::Bytes bytes = tb::DialogEx(d);
    // Replace the text "O&K" (8 bytes with its terminator) by ordinal 0xFFFF 0x0080 + padding.
    const std::size_t textAt = bytes.size() - 2 - 8;
    bytes.erase(bytes.begin() + static_cast<long>(textAt), bytes.end() - 2);
    const auto ord = Le16({0xFFFF, 0x80});
    bytes.insert(bytes.begin() + static_cast<long>(textAt), ord.begin(), ord.end());
    const auto r = ReadDialogTemplate(bytes);
    ASSERT_TRUE(r.ok()) << r.error().message;
    EXPECT_TRUE(r->items[0].text.isOrdinal);
    EXPECT_EQ(r->items[0].text.ordinal, 0x80);
}

namespace {

tb::Bytes IconGroup(std::initializer_list<std::array<int, 4>> entries) {
    tb::Writer w;
    w.u16(0);
    w.u16(1);
    w.u16(static_cast<std::uint16_t>(entries.size()));
    for (const auto& e : entries) { // width, height, bits, id
        w.u8(static_cast<std::uint8_t>(e[0]));
        w.u8(static_cast<std::uint8_t>(e[1]));
        w.u8(e[2] == 4 ? 16 : 0);
        w.u8(0);
        w.u16(1);
        w.u16(static_cast<std::uint16_t>(e[2]));
        w.u32(1000);
        w.u16(static_cast<std::uint16_t>(e[3]));
    }
    return w.bytes;
}

tb::Bytes Dib(int w, int h, int bits) {
    tb::Writer out;
    out.u32(40);
    out.u32(static_cast<std::uint32_t>(w));
    out.u32(static_cast<std::uint32_t>(h * 2));
    out.u16(1);
    out.u16(static_cast<std::uint16_t>(bits));
    for (int i = 0; i < 24; ++i) {
        out.u8(0);
    }
    return out.bytes;
}

tb::Bytes PngHeader(int w, int h, int depth, int colourType) {
    tb::Bytes b = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    for (int v : {w, h}) {
        b.push_back(static_cast<std::uint8_t>(v >> 24));
        b.push_back(static_cast<std::uint8_t>(v >> 16));
        b.push_back(static_cast<std::uint8_t>(v >> 8));
        b.push_back(static_cast<std::uint8_t>(v));
    }
    b.push_back(static_cast<std::uint8_t>(depth));
    b.push_back(static_cast<std::uint8_t>(colourType));
    b.insert(b.end(), {0, 0, 0, 0, 0, 0, 0});
    return b;
}

} // namespace

TEST(IconReaders, ReadGroupEntries) {
    const auto r = ReadIconGroup(IconGroup({{32, 32, 4, 1}, {16, 16, 4, 2}, {0, 0, 32, 3}}));
    ASSERT_TRUE(r.ok()) << r.error().message;
    ASSERT_EQ(r->size(), 3u);
    EXPECT_EQ(r.value()[0].width, 32);
    EXPECT_EQ(r.value()[0].bitCount, 4);
    EXPECT_EQ(r.value()[1].imageId, 2);
    EXPECT_EQ(r.value()[2].width, 256); // 0 in the directory
}

TEST(IconReaders, RefuseBadGroups) {
    tb::Bytes g = IconGroup({{32, 32, 4, 1}});
    g.pop_back();
    EXPECT_FALSE(ReadIconGroup(g).ok());
    tb::Bytes wrongType = IconGroup({{32, 32, 4, 1}});
    wrongType[2] = 2; // a cursor directory
    EXPECT_FALSE(ReadIconGroup(wrongType).ok());
    tb::Bytes count = IconGroup({{32, 32, 4, 1}});
    count[4] = 200;
    EXPECT_FALSE(ReadIconGroup(count).ok());
}

TEST(IconReaders, ReadBitmapAndPngImages) {
    auto dib = ReadIconImage(Dib(32, 32, 4));
    ASSERT_TRUE(dib.ok()) << dib.error().message;
    EXPECT_FALSE(dib->png);
    EXPECT_EQ(dib->width, 32);
    EXPECT_EQ(dib->height, 32); // half the DIB's height: colour and mask
    EXPECT_EQ(dib->bitCount, 4);

    auto png = ReadIconImage(PngHeader(128, 128, 8, 6));
    ASSERT_TRUE(png.ok()) << png.error().message;
    EXPECT_TRUE(png->png);
    EXPECT_EQ(png->width, 128);
    EXPECT_EQ(png->bitCount, 32);
}

TEST(IconReaders, RefuseBadImages) {
    tb::Bytes dib = Dib(32, 32, 4);
    EXPECT_FALSE(ReadIconImage(std::span(dib.data(), 10)).ok());
    tb::Bytes bits = Dib(32, 32, 3);
    EXPECT_FALSE(ReadIconImage(bits).ok());
    tb::Bytes size = Dib(32, 32, 4);
    size[0] = 0xFF;
    size[1] = 0xFF;
    EXPECT_FALSE(ReadIconImage(size).ok());
    tb::Bytes png = PngHeader(16, 16, 8, 6);
    EXPECT_FALSE(ReadIconImage(std::span(png.data(), 20)).ok());
    tb::Bytes colour = PngHeader(16, 16, 8, 5);
    EXPECT_FALSE(ReadIconImage(colour).ok());
}

TEST(IconReaders, RefuseImagesWithoutRowsOrWithDepthsNoPngHas) {
    // A DIB one row high holds half a row of colour: no picture at all.
    tb::Bytes oneRow = Dib(16, 16, 4);
    oneRow[8] = 1;
    EXPECT_FALSE(ReadIconImage(oneRow).ok());
    tb::Bytes twoRows = Dib(16, 16, 4);
    twoRows[8] = 2;
    ASSERT_TRUE(ReadIconImage(twoRows).ok());
    EXPECT_EQ(ReadIconImage(twoRows)->height, 1);

    struct Png {
        int depth, colourType, bitCount; // bitCount 0: refused
    };
    for (const Png p :
         {Png{0, 6, 0}, Png{128, 0, 0}, Png{4, 2, 0}, Png{16, 3, 0}, Png{3, 0, 0}, Png{1, 0, 1},
          Png{2, 3, 2}, Png{16, 2, 48}, Png{16, 4, 32}, Png{8, 6, 32}}) {
        const auto r = ReadIconImage(PngHeader(16, 16, p.depth, p.colourType));
        EXPECT_EQ(r.ok(), p.bitCount != 0) << "depth " << p.depth << ", type " << p.colourType;
        if (r.ok()) {
            EXPECT_EQ(r->bitCount, p.bitCount);
        }
    }
}

namespace {

tb::VersionNode Sample() {
    tb::Writer fixed;
    for (std::uint32_t v : {0xFEEF04BDu, 0x00010000u, 0x07D60007u, 0x001F0001u, 0x07D60007u,
                            0x001F0001u, 0x3Fu, 0u, 4u, 1u, 0u, 0u, 0u}) {
        fixed.u32(v);
    }
    tb::VersionNode root{u"VS_VERSION_INFO", false, {}, fixed.bytes, {}};
    tb::VersionNode table{u"040904b0", true, {}, {}, {}};
    table.children.push_back({u"FileDescription", true, u"Tallyroll", {}, {}});
    table.children.push_back({u"Comments", true, u"", {}, {}});
    table.children.push_back({u"FileVersion", true, u"2008-1", {}, {}});
    tb::VersionNode sfi{u"StringFileInfo", true, {}, {}, {table}};
    tb::VersionNode translation{u"Translation", false, {}, {0x09, 0x04, 0xB0, 0x04}, {}};
    tb::VersionNode vfi{u"VarFileInfo", true, {}, {}, {translation}};
    root.children = {sfi, vfi};
    return root;
}

} // namespace

TEST(VersionReader, ReadsFixedInfoStringsAndTranslation) {
    const auto r = ReadVersionInfo(tb::Version(Sample()));
    ASSERT_TRUE(r.ok()) << r.error().message;
    ASSERT_TRUE(r->hasFixed);
    EXPECT_EQ(r->fixed.fileVersionMS, 0x07D60007u); // 2006.7
    EXPECT_EQ(r->fixed.fileVersionLS, 0x001F0001u); // 31.1
    EXPECT_EQ(r->fixed.fileFlagsMask, 0x3Fu);
    EXPECT_EQ(r->fixed.fileOS, 4u);
    EXPECT_EQ(r->fixed.fileType, 1u);
    ASSERT_EQ(r->stringTables.size(), 1u);
    const auto& table = r->stringTables[0];
    EXPECT_EQ(table.key, u"040904b0");
    ASSERT_NE(table.find(u"FileDescription"), nullptr);
    EXPECT_EQ(*table.find(u"FileDescription"), u"Tallyroll");
    ASSERT_NE(table.find(u"Comments"), nullptr); // present but empty
    EXPECT_EQ(*table.find(u"Comments"), u"");
    EXPECT_EQ(*table.find(u"FileVersion"), u"2008-1");
    EXPECT_EQ(table.find(u"ProductName"), nullptr);
    EXPECT_EQ(r->translations, (std::vector<DWORD>{0x04B00409u}));
}

TEST(VersionReader, RefusesMalformedBlocks) {
    const tb::Bytes good = tb::Version(Sample());
    for (std::size_t n = 0; n < good.size(); n += 2) {
        EXPECT_FALSE(ReadVersionInfo(std::span(good.data(), n)).ok()) << n;
    }
    tb::Bytes badSignature = good;
    badSignature[40] ^= 0xFF;
    EXPECT_FALSE(ReadVersionInfo(badSignature).ok());
    tb::Bytes badKey = good;
    badKey[6] = 'X';
    EXPECT_FALSE(ReadVersionInfo(badKey).ok());
    tb::Bytes childTooLong = good;
    childTooLong[92] = 0xFF; // the StringFileInfo length
    childTooLong[93] = 0x7F;
    EXPECT_FALSE(ReadVersionInfo(childTooLong).ok());
}
