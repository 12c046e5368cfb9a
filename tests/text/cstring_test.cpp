// The test binary runs with LC_ALL=en_US.UTF-8, so code page 0 is 1252.
#include "platform/afx/cstring.h"

#include <gtest/gtest.h>
#include <string>

namespace {

TEST(CStringFromEightBit, ConvertsFromCodePageZero) {
    EXPECT_EQ(CString("caf\xE9 \x80").str(), u"caf\u00E9 \u20AC");
    CString s;
    s = "\x93quoted\x94";
    EXPECT_EQ(s.str(), u"\u201Cquoted\u201D");
}

TEST(CStringFromEightBit, StopsAtTheFirstZeroByte) {
    EXPECT_EQ(CString("ab\0cd", 5).str(), u"ab");
    EXPECT_EQ(CString("abcd", 2).str(), u"ab");
    EXPECT_EQ(CString(std::string("\0x", 2).c_str(), 2).str(), u"");
    EXPECT_TRUE(CString(static_cast<LPCSTR>(nullptr)).IsEmpty());
    EXPECT_TRUE(CString("abc", 0).IsEmpty());
    EXPECT_TRUE(CString("abc", -1).IsEmpty());
}

TEST(CStringFromWide, NullAndExplicitLength) {
    EXPECT_TRUE(CString(static_cast<LPCWSTR>(nullptr)).IsEmpty());
    const CString s(u"ab\0cd", 5);
    EXPECT_EQ(s.GetLength(), 5);
    EXPECT_EQ(s.GetAt(3), u'c');
}

TEST(CStringFormat, UsesTheWideFormatterWithoutALengthLimit) {
    CString s;
    s.Format(TEXT("Unable to open %s, Error No.=%d"), TEXT("COM3:"), 2);
    EXPECT_EQ(s.str(), u"Unable to open COM3:, Error No.=2");
    const std::u16string long_text(3000, u'y');
    s.Format(TEXT("<%s>"), long_text.c_str());
    EXPECT_EQ(s.GetLength(), 3002);
    // The previous content may be an argument of the new one.
    s = TEXT("abc");
    s.Format(TEXT("%s%s"), s.GetString(), s.GetString());
    EXPECT_EQ(s.str(), u"abcabc");
}

TEST(CStringBuffer, WriteThenReleaseToTheFirstZero) {
    CString s(TEXT("old text"));
    LPWSTR p = s.GetBuffer(16);
    std::u16string(u"new").copy(p, 3);
    p[3] = 0;
    s.ReleaseBuffer();
    EXPECT_EQ(s.str(), u"new");

    p = s.GetBuffer(4);
    p[0] = u'x';
    p[1] = u'y';
    s.ReleaseBuffer(2);
    EXPECT_EQ(s.str(), u"xy");
}

TEST(CStringBuffer, ASmallerRequestKeepsTheText) {
    CString s(TEXT("keep me"));
    s.GetBuffer(2);
    s.ReleaseBuffer();
    EXPECT_EQ(s.str(), u"keep me");
    // Untouched new room reads as empty up to the old end.
    CString t;
    t.GetBuffer(10);
    t.ReleaseBuffer();
    EXPECT_TRUE(t.IsEmpty());
}

TEST(CStringConcatenation, AllForms) {
    CString s(TEXT("ab"));
    s += CString(TEXT("cd"));
    s += TEXT("ef");
    s += u'g';
    EXPECT_EQ(s.str(), u"abcdefg");
    EXPECT_EQ((CString(TEXT("x")) + CString(TEXT("y"))).str(), u"xy");
    EXPECT_EQ((CString(TEXT("x")) + TEXT("z")).str(), u"xz");
    EXPECT_EQ((TEXT("w") + CString(TEXT("x"))).str(), u"wx");
    s += static_cast<LPCWSTR>(nullptr);
    EXPECT_EQ(s.str(), u"abcdefg");
}

TEST(CStringConcatenation, WithItself) {
    CString s(TEXT("ab"));
    s += s;
    EXPECT_EQ(s.str(), u"abab");
    s += s.GetString() + 2; // its own tail
    EXPECT_EQ(s.str(), u"ababab");
    s = s.GetString() + 4;
    EXPECT_EQ(s.str(), u"ab");
}

TEST(CStringCompare, WithStringsAndPointers) {
    EXPECT_TRUE(CString(TEXT("a")) == CString("a"));
    EXPECT_TRUE(CString() == static_cast<LPCWSTR>(nullptr));
    EXPECT_FALSE(CString(TEXT("a")) == TEXT("b"));
}

} // namespace
