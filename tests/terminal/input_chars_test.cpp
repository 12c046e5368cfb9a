// Keyboard bytes in a locale whose codeset is not UTF-8 (Shift-JIS here):
// the C library's reading of the codeset puts double-byte characters
// together, but the keys labelled backslash and tilde send 0x5C and 0x7E,
// which must stay those characters (glibc reads them as YEN SIGN and
// OVERLINE, which the printer's code page 932 cannot print).
#include "platform/terminal/input_chars.h"
#include "tests/support/compiled_locale.h"
#include "tests/support/temp_folder.h"

#include <clocale>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <string_view>

namespace terminal {
namespace {

class ShiftJisKeyboard : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testing_support::CompileLocale(locales_.path(), "ja_JP.SJIS", "ja_JP", "SHIFT_JIS")) {
            GTEST_SKIP() << "localedef cannot make a Shift-JIS locale here";
        }
        ::setenv("LOCPATH", locales_.path().c_str(), 1);
        ASSERT_NE(std::setlocale(LC_CTYPE, "ja_JP.SJIS"), nullptr);
    }
    void TearDown() override {
        (void)std::setlocale(LC_CTYPE, "C");
        ::unsetenv("LOCPATH");
    }

    static std::u32string Decode(std::string_view bytes, InputCharDecoder& decoder) {
        std::u32string out;
        for (const char byte : bytes) {
            decoder.push(static_cast<unsigned char>(byte), out);
        }
        return out;
    }
    static std::u32string Decode(std::string_view bytes) {
        InputCharDecoder decoder(InputCodeset::Locale);
        return Decode(bytes, decoder);
    }

    testing_support::TempFolder locales_{"tallyroll-locale"};
};

TEST_F(ShiftJisKeyboard, BackslashAndTildeStayAscii) {
    EXPECT_EQ(Decode("C:\\dir ~x"), U"C:\\dir ~x");
}

TEST_F(ShiftJisKeyboard, DoubleByteCharactersAreWholeEvenWhenTheirSecondByteIsABackslash) {
    // 0x95 0x5C is 表, whose second byte is the backslash's; 0xB1 is a
    // half-width katakana of one byte.
    EXPECT_EQ(Decode("\x95\x5C\x82\xA0\xB1"), U"表あｱ");
    // Split between reads.
    InputCharDecoder decoder(InputCodeset::Locale);
    EXPECT_EQ(Decode("a\x95", decoder), U"a");
    EXPECT_TRUE(decoder.midCharacter());
    EXPECT_EQ(Decode("\x5C", decoder), U"表");
}

TEST_F(ShiftJisKeyboard, AnInvalidPairIsOneReplacementAndTheByteAfterItIsKept) {
    EXPECT_EQ(Decode("\x81\x0A"
                     "b"),
              U"\uFFFD\nb");
}

} // namespace
} // namespace terminal
