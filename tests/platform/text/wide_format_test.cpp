#include "platform/win32/kernel.h"
#include "tests/support/system_differences.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::basic_string<WCHAR> Format(LPCWSTR format, ...) {
    std::vector<WCHAR> buffer(1100, TEXT('#'));
    va_list args;
    va_start(args, format);
    const int n = wvsprintfW(buffer.data(), format, args);
    va_end(args);
    EXPECT_EQ(buffer[static_cast<std::size_t>(n)], TEXT('\0'));
    return std::basic_string<WCHAR>(buffer.data(), static_cast<std::size_t>(n));
}

TEST(Wsprintf, DeviceNameOfAPort) {
    WCHAR name[16];
    EXPECT_EQ(wsprintfW(name, TEXT("COM%d:"), 3), 5);
    EXPECT_EQ(std::basic_string<WCHAR>(name), TEXT("COM3:"));
}

TEST(Wsprintf, Conversions) {
    EXPECT_EQ(Format(TEXT("%d %i %d"), 42, -7, INT32_MIN), TEXT("42 -7 -2147483648"));
    EXPECT_EQ(Format(TEXT("%u %u"), 7u, 4000000000u), TEXT("7 4000000000"));
    EXPECT_EQ(Format(TEXT("%u"), -1), TEXT("4294967295"));
    EXPECT_EQ(Format(TEXT("%x %X %#x"), 255, 0xBEEF, 26), TEXT("ff BEEF 0x1a"));
    EXPECT_EQ(Format(TEXT("%c%c"), TEXT('A'), TEXT('\u4E2D')), TEXT("A\u4E2D"));
    EXPECT_EQ(Format(TEXT("100%%")), TEXT("100%"));
    EXPECT_EQ(Format(TEXT("[%s] [%s]"), TEXT("wide \u00E9"), static_cast<LPCWSTR>(nullptr)),
              TEXT("[wide \u00E9] [(null)]"));
    EXPECT_EQ(Format(TEXT("%ld %lu"), 5, 6u), TEXT("5 6"));
    EXPECT_EQ(Format(TEXT("%I64d"), -12345678901LL), TEXT("-12345678901"));
    EXPECT_EQ(Format(TEXT("%hs|%S"), "narrow", "too"), TEXT("narrow|too"));
}

TEST(Wsprintf, AShortArgumentIsCutTo16Bits) {
    DIFFERS_ON_WINDOWS("Wine ignores the h size");
    EXPECT_EQ(Format(TEXT("%hd %hu"), 70000, 70000), TEXT("4464 4464"));
}

TEST(Wsprintf, FlagsWidthAndPrecision) {
    EXPECT_EQ(Format(TEXT("[%5d] [%-5d] [%05d] [%-05d]"), 42, 42, 42, 42),
              TEXT("[   42] [42   ] [00042] [42   ]"));
    EXPECT_EQ(Format(TEXT("[%05d] [%5x]"), -42, 255), TEXT("[-0042] [   ff]"));
    EXPECT_EQ(Format(TEXT("[%6s] [%-6s] [%.2s] [%06s]"), TEXT("ab"), TEXT("ab"), TEXT("abcd"),
                     TEXT("ab")),
              TEXT("[    ab] [ab    ] [ab] [    ab]"));
    EXPECT_EQ(Format(TEXT("[%.3d] [%3c]"), 7, TEXT('x')), TEXT("[007] [  x]"));
}

TEST(Wsprintf, UnknownConversionIsCopiedAndATrailingPercentIsDropped) {
    EXPECT_EQ(Format(TEXT("%y|%")), TEXT("y|"));
}

TEST(Wsprintf, OutputStopsAt1024CharactersWithTheTerminator) {
    DIFFERS_ON_WINDOWS("Wine writes 1024 characters and the terminator");
    const std::basic_string<WCHAR> long_text(2000, TEXT('x'));
    std::vector<WCHAR> buffer(1100, TEXT('#'));
    EXPECT_EQ(wsprintfW(buffer.data(), TEXT("%s"), long_text.c_str()), 1023);
    EXPECT_EQ(buffer[1022], TEXT('x'));
    EXPECT_EQ(buffer[1023], TEXT('\0'));
    EXPECT_EQ(buffer[1024], TEXT('#'));
    // A padded field is cut at the same place.
    EXPECT_EQ(wsprintfW(buffer.data(), TEXT("%2000d"), 1), 1023);
    EXPECT_EQ(buffer[1024], TEXT('#'));
}

int Bounded(LPWSTR out, int limit, LPCWSTR format, ...) {
    va_list args;
    va_start(args, format);
    const int n = wvnsprintfW(out, limit, format, args);
    va_end(args);
    return n;
}

TEST(Wsprintf, BoundedFormattingCutsToItsLimitAndSaysSo) {
    std::vector<WCHAR> buffer(16, TEXT('#'));
    EXPECT_EQ(Bounded(buffer.data(), 16, TEXT("COM%d:"), 12), 6);
    EXPECT_EQ(std::basic_string<WCHAR>(buffer.data()), TEXT("COM12:"));

    std::fill(buffer.begin(), buffer.end(), TEXT('#'));
    EXPECT_EQ(Bounded(buffer.data(), 4, TEXT("%s"), TEXT("abcdef")), -1);
    EXPECT_EQ(std::basic_string<WCHAR>(buffer.data()), TEXT("abc"));
    EXPECT_EQ(buffer[4], TEXT('#')) << "nothing is written past the limit";

    // Far past the 1024 characters of the unbounded call.
    const std::basic_string<WCHAR> long_text(3000, TEXT('x'));
    std::vector<WCHAR> large(3100, TEXT('#'));
    EXPECT_EQ(Bounded(large.data(), 3100, TEXT("<%s>"), long_text.c_str()), 3002);
    EXPECT_EQ(large[3002], TEXT('\0'));
}

} // namespace
