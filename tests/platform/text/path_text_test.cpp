// File names between bytes and UTF-16: every byte string comes back as it
// was, and names that differ in their bytes stay different.
#include "platform/text/path_text.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <random>
#include <string>

namespace {

using text::PathFromBytes;
using text::PathToBytes;

TEST(PathText, EveryShortByteStringComesBackExactly) {
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            const std::string bytes{static_cast<char>(a), static_cast<char>(b)};
            ASSERT_EQ(PathToBytes(PathFromBytes(bytes)), bytes) << a << " " << b;
        }
    }
    // Longer names mixing UTF-8 with stray bytes, from a fixed seed.
    std::mt19937 random(11);
    const std::string pieces[] = {
        "a",    "/",    "\xC3\xA9", "\xE4\xB8\xAD", "\xF0\x9F\x98\x80", "\xFF",
        "\x80", "\xC3", "\xE4\xB8", "\xED\xA0\x80", "\xEF\xBF\xBD",     "\xF4\x90\x80\x80"};
    for (int round = 0; round < 20000; ++round) {
        std::string bytes;
        const int count = static_cast<int>(random() % 8);
        for (int i = 0; i < count; ++i) {
            bytes += pieces[random() % std::size(pieces)];
        }
        ASSERT_EQ(PathToBytes(PathFromBytes(bytes)), bytes);
    }
}

TEST(PathText, ValidUtf8IsReadAsTheCharactersItSpells) {
    EXPECT_EQ(PathFromBytes("/home/gr\xC3\xBC\xC3\x9F"
                            "e/\xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80.txt"),
              u"/home/gr\u00FC\u00DFe/\u4E2D\u6587 \U0001F600.txt");
    EXPECT_EQ(PathToBytes(u"/home/gr\u00FC\u00DFe/\u4E2D\u6587 \U0001F600.txt"),
              "/home/gr\xC3\xBC\xC3\x9F"
              "e/\xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80.txt");
}

TEST(PathText, EachByteThatIsNotUtf8BecomesAnEscapeOfItsOwn) {
    EXPECT_EQ(PathFromBytes("bad\xFFname.txt"), u"bad\xDCFFname.txt");
    // A truncated sequence, an overlong form, an encoded surrogate and a value
    // past U+10FFFF: every byte is kept, none is merged into a character.
    EXPECT_EQ(PathFromBytes("\xE4\xB8z"), u"\xDCE4\xDCB8z");
    EXPECT_EQ(PathFromBytes("\xC0\xAF"), u"\xDCC0\xDCAF");
    EXPECT_EQ(PathFromBytes("\xED\xA0\x80"), u"\xDCED\xDCA0\xDC80");
    EXPECT_EQ(PathFromBytes("\xF4\x90\x80\x80"), u"\xDCF4\xDC90\xDC80\xDC80");
}

TEST(PathText, ANameWithAStrayByteIsNotTheNameWithAReplacementCharacter) {
    const std::u16string stray = PathFromBytes("bad\xFFname.txt");
    const std::u16string replaced = PathFromBytes("bad\xEF\xBF\xBDname.txt");
    EXPECT_NE(stray, replaced);
    EXPECT_EQ(replaced, u"bad\uFFFDname.txt");
    EXPECT_EQ(PathToBytes(stray), "bad\xFFname.txt");
    EXPECT_EQ(PathToBytes(replaced), "bad\xEF\xBF\xBDname.txt");
}

TEST(PathText, ALoneSurrogateThatIsNoEscapeNeverSpellsAUtf8Name) {
    // U+D800 alone and U+DC20 (below the escapes) have no byte of their own:
    // they take bytes that are not UTF-8, never those of U+FFFD.
    EXPECT_EQ(PathToBytes(std::u16string{u'a', char16_t(0xD800), u'b'}), "a\xED\xA0\x80"
                                                                         "b");
    EXPECT_EQ(PathToBytes(std::u16string{char16_t(0xDC20)}), "\xED\xB0\xA0");
    // A pair is one character, even when its low half is in the escape range.
    EXPECT_EQ(PathToBytes(std::u16string{char16_t(0xD800), char16_t(0xDC80)}), "\xF0\x90\x82\x80");
}

} // namespace
