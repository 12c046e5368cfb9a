// Runs with LC_ALL=zh_CN.UTF-8: code page 0 is then the Chinese page, for
// the conversion calls and for the 8-bit side of CString alike.
#include "platform/afx/cstring.h"
#include "platform/win32/codepage.h"

#include <gtest/gtest.h>
#include <string>

namespace {

TEST(ChineseRegionalSetting, CodePageZeroIs936) {
    EXPECT_EQ(GetACP(), 936u);
    char out[8] = {};
    EXPECT_EQ(
        WideCharToMultiByte(CP_ACP, 0x240, TEXT("\u4E2D\u6587"), -1, out, 8, nullptr, nullptr), 5);
    EXPECT_EQ(std::string(out), "\xD6\xD0\xCE\xC4");
    EXPECT_TRUE(IsDBCSLeadByteEx(CP_ACP, 0xD6));
}

TEST(ChineseRegionalSetting, CStringReadsEightBitTextAs936) {
    EXPECT_EQ(CString("\xD6\xD0\xCE\xC4").str(), TEXT("\u4E2D\u6587"));
    // A character split by the length is not reassembled: its lead byte
    // alone becomes the default character.
    EXPECT_EQ(CString("\xD6\xD0\xCE\xC4", 3).str(), TEXT("\u4E2D?"));
}

} // namespace
