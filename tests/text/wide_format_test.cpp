#include "platform/text/unicode.h"
#include "platform/win32/kernel.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::u16string Format(LPCWSTR format, ...) {
    std::vector<WCHAR> buffer(1100, u'#');
    va_list args;
    va_start(args, format);
    const int n = wvsprintfW(buffer.data(), format, args);
    va_end(args);
    EXPECT_EQ(buffer[static_cast<std::size_t>(n)], u'\0');
    return std::u16string(buffer.data(), static_cast<std::size_t>(n));
}

TEST(Wsprintf, DeviceNameOfAPort) {
    WCHAR name[16];
    EXPECT_EQ(wsprintfW(name, TEXT("COM%d:"), 3), 5);
    EXPECT_EQ(std::u16string(name), u"COM3:");
}

TEST(Wsprintf, Conversions) {
    EXPECT_EQ(Format(u"%d %i %d", 42, -7, INT32_MIN), u"42 -7 -2147483648");
    EXPECT_EQ(Format(u"%u %u", 7u, 4000000000u), u"7 4000000000");
    EXPECT_EQ(Format(u"%u", -1), u"4294967295");
    EXPECT_EQ(Format(u"%x %X %#x", 255, 0xBEEF, 26), u"ff BEEF 0x1a");
    EXPECT_EQ(Format(u"%c%c", u'A', u'\u4E2D'), u"A\u4E2D");
    EXPECT_EQ(Format(u"100%%"), u"100%");
    EXPECT_EQ(Format(u"[%s] [%s]", u"wide \u00E9", static_cast<LPCWSTR>(nullptr)),
              u"[wide \u00E9] [(null)]");
    EXPECT_EQ(Format(u"%ld %lu %hd", 5, 6u, 70000), u"5 6 4464");
    EXPECT_EQ(Format(u"%I64d", -12345678901LL), u"-12345678901");
    EXPECT_EQ(Format(u"%hs|%S", "narrow", "too"), u"narrow|too");
}

TEST(Wsprintf, FlagsWidthAndPrecision) {
    EXPECT_EQ(Format(u"[%5d] [%-5d] [%05d] [%-05d]", 42, 42, 42, 42),
              u"[   42] [42   ] [00042] [42   ]");
    EXPECT_EQ(Format(u"[%05d] [%5x]", -42, 255), u"[-0042] [   ff]");
    EXPECT_EQ(Format(u"[%6s] [%-6s] [%.2s] [%06s]", u"ab", u"ab", u"abcd", u"ab"),
              u"[    ab] [ab    ] [ab] [    ab]");
    EXPECT_EQ(Format(u"[%.3d] [%3c]", 7, u'x'), u"[007] [  x]");
}

TEST(Wsprintf, UnknownConversionIsCopiedAndATrailingPercentIsDropped) {
    EXPECT_EQ(Format(u"%y|%"), u"y|");
}

TEST(Wsprintf, OutputStopsAt1024CharactersWithTheTerminator) {
    const std::u16string long_text(2000, u'x');
    std::vector<WCHAR> buffer(1100, u'#');
    EXPECT_EQ(wsprintfW(buffer.data(), u"%s", long_text.c_str()), 1023);
    EXPECT_EQ(buffer[1022], u'x');
    EXPECT_EQ(buffer[1023], u'\0');
    EXPECT_EQ(buffer[1024], u'#');
    // A padded field is cut at the same place.
    EXPECT_EQ(wsprintfW(buffer.data(), u"%2000d", 1), 1023);
    EXPECT_EQ(buffer[1024], u'#');
}

int Bounded(LPWSTR out, int limit, LPCWSTR format, ...) {
    va_list args;
    va_start(args, format);
    const int n = wvnsprintfW(out, limit, format, args);
    va_end(args);
    return n;
}

TEST(Wsprintf, BoundedFormattingCutsToItsLimitAndSaysSo) {
    std::vector<WCHAR> buffer(16, u'#');
    EXPECT_EQ(Bounded(buffer.data(), 16, u"COM%d:", 12), 6);
    EXPECT_EQ(std::u16string(buffer.data()), u"COM12:");

    std::fill(buffer.begin(), buffer.end(), u'#');
    EXPECT_EQ(Bounded(buffer.data(), 4, u"%s", u"abcdef"), -1);
    EXPECT_EQ(std::u16string(buffer.data()), u"abc");
    EXPECT_EQ(buffer[4], u'#') << "nothing is written past the limit";

    // Far past the 1024 characters of the unbounded call.
    const std::u16string long_text(3000, u'x');
    std::vector<WCHAR> large(3100, u'#');
    EXPECT_EQ(Bounded(large.data(), 3100, u"<%s>", long_text.c_str()), 3002);
    EXPECT_EQ(large[3002], u'\0');
}

} // namespace
