#include "tools/vprinter/code_page.h"

#include <gtest/gtest.h>
#include <iconv.h>
#include <optional>

namespace vprinter {
namespace {

// glibc's own 1252 table is independent of ours; it leaves the same five
// bytes undefined.
std::optional<char32_t> glibc_1252(unsigned char byte) {
    iconv_t cd = iconv_open("UTF-32LE", "CP1252");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return std::nullopt;
    }
    char in[1] = {static_cast<char>(byte)};
    unsigned char out[4] = {};
    char* in_ptr = in;
    char* out_ptr = reinterpret_cast<char*>(out);
    std::size_t in_left = 1, out_left = 4;
    std::size_t r = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
    iconv_close(cd);
    if (r == static_cast<std::size_t>(-1)) {
        return std::nullopt;
    }
    return static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
}

TEST(CodePage1252, AgreesWithAnIndependentTableOnEveryHighByte) {
    auto page = CodePage::open(1252);
    ASSERT_TRUE(page);
    for (int b = 0x80; b <= 0xFF; ++b) {
        auto byte = static_cast<unsigned char>(b);
        EXPECT_FALSE(page->is_lead_byte(byte));
        EXPECT_EQ(page->single(byte), glibc_1252(byte)) << "byte " << b;
    }
    for (unsigned char undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        EXPECT_FALSE(page->single(undefined)) << int(undefined);
    }
}

TEST(CodePage936, ReadsPairsAndItsOneHighSingleByte) {
    auto page = CodePage::open(936);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->single(0x80), U'\u20AC');
    EXPECT_FALSE(page->single(0xFF));
    EXPECT_TRUE(page->is_lead_byte(0x81));
    EXPECT_TRUE(page->is_lead_byte(0xFE));
    EXPECT_FALSE(page->is_lead_byte(0x80));
    EXPECT_EQ(page->pair(0xA1, 0xA1), U'\u3000');
    EXPECT_EQ(page->pair(0xB0, 0xA1), U'\u554A');
    EXPECT_EQ(page->pair(0x81, 0x40), U'\u4E02');
    EXPECT_FALSE(page->pair(0x81, 0x7F));
    EXPECT_FALSE(page->pair(0x81, 0x3F));
    EXPECT_FALSE(page->pair(0x81, 0xFF));
}

TEST(CodePage, OnlyTheTwoCarriedPagesOpen) {
    EXPECT_FALSE(CodePage::open(1251));
    EXPECT_FALSE(CodePage::open(0));
}

} // namespace
} // namespace vprinter
