// The test binary runs with LC_ALL=en_US.UTF-8, so code page 0 is 1252.
#include "platform/afx/cstring.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

TEST(CStringFromEightBit, ConvertsFromCodePageZero) {
    EXPECT_EQ(CString("caf\xE9 \x80").str(), TEXT("caf\u00E9 \u20AC"));
    CString s;
    s = "\x93quoted\x94";
    EXPECT_EQ(s.str(), TEXT("\u201Cquoted\u201D"));
}

TEST(CStringFromEightBit, StopsAtTheFirstZeroByte) {
    EXPECT_EQ(CString("ab\0cd", 5).str(), TEXT("ab"));
    EXPECT_EQ(CString("abcd", 2).str(), TEXT("ab"));
    EXPECT_EQ(CString(std::string("\0x", 2).c_str(), 2).str(), TEXT(""));
    EXPECT_TRUE(CString(static_cast<LPCSTR>(nullptr)).IsEmpty());
    EXPECT_TRUE(CString("abc", 0).IsEmpty());
    EXPECT_TRUE(CString("abc", -1).IsEmpty());
}

TEST(CStringFromWide, NullAndExplicitLength) {
    EXPECT_TRUE(CString(static_cast<LPCWSTR>(nullptr)).IsEmpty());
    const CString s(TEXT("ab\0cd"), 5);
    EXPECT_EQ(s.GetLength(), 5);
    EXPECT_EQ(s.GetAt(3), TEXT('c'));
}

TEST(CStringFormat, UsesTheWideFormatterWithoutALengthLimit) {
    CString s;
    s.Format(TEXT("Unable to open %s, Error No.=%d"), TEXT("COM3:"), 2);
    EXPECT_EQ(s.str(), TEXT("Unable to open COM3:, Error No.=2"));
    const std::basic_string<WCHAR> long_text(3000, TEXT('y'));
    s.Format(TEXT("<%s>"), long_text.c_str());
    EXPECT_EQ(s.GetLength(), 3002);
    // The previous content may be an argument of the new one.
    s = TEXT("abc");
    s.Format(TEXT("%s%s"), s.GetString(), s.GetString());
    EXPECT_EQ(s.str(), TEXT("abcabc"));
}

TEST(CStringBuffer, WriteThenReleaseToTheFirstZero) {
    CString s(TEXT("old text"));
    LPWSTR p = s.GetBuffer(16);
    std::basic_string<WCHAR>(TEXT("new")).copy(p, 3);
    p[3] = 0;
    s.ReleaseBuffer();
    EXPECT_EQ(s.str(), TEXT("new"));

    p = s.GetBuffer(4);
    p[0] = TEXT('x');
    p[1] = TEXT('y');
    s.ReleaseBuffer(2);
    EXPECT_EQ(s.str(), TEXT("xy"));
}

TEST(CStringBuffer, ASmallerRequestKeepsTheText) {
    CString s(TEXT("keep me"));
    s.GetBuffer(2);
    s.ReleaseBuffer();
    EXPECT_EQ(s.str(), TEXT("keep me"));
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
    s += TEXT('g');
    EXPECT_EQ(s.str(), TEXT("abcdefg"));
    EXPECT_EQ((CString(TEXT("x")) + CString(TEXT("y"))).str(), TEXT("xy"));
    EXPECT_EQ((CString(TEXT("x")) + TEXT("z")).str(), TEXT("xz"));
    EXPECT_EQ((TEXT("w") + CString(TEXT("x"))).str(), TEXT("wx"));
    s += static_cast<LPCWSTR>(nullptr);
    EXPECT_EQ(s.str(), TEXT("abcdefg"));
}

TEST(CStringConcatenation, WithItself) {
    CString s(TEXT("ab"));
    s += s;
    EXPECT_EQ(s.str(), TEXT("abab"));
    s += s.GetString() + 2; // its own tail
    EXPECT_EQ(s.str(), TEXT("ababab"));
    s = s.GetString() + 4;
    EXPECT_EQ(s.str(), TEXT("ab"));
}

TEST(CStringCompare, WithStringsAndPointers) {
    EXPECT_TRUE(CString(TEXT("a")) == CString("a"));
    EXPECT_TRUE(CString() == static_cast<LPCWSTR>(nullptr));
    EXPECT_FALSE(CString(TEXT("a")) == TEXT("b"));
}

} // namespace

namespace {

// Copies share one buffer until one of them is written; a write never shows
// in another copy, whichever member writes.
TEST(CStringSharing, CopiesShareUntilOneIsWritten) {
    const CString original(TEXT("shared text"));
    // The copy is what is tested: it must share the original's buffer.
    CString copy = original; // NOLINT(performance-unnecessary-copy-initialization)
    EXPECT_EQ(copy.GetString(), original.GetString()) << "a copy costs no second buffer";
    const std::vector<std::function<void(CString&)>> writes = {
        [](CString& s) { s += TEXT("!"); },
        [](CString& s) { s += TEXT('!'); },
        [](CString& s) { s += CString(TEXT("!")); },
        [](CString& s) { s.str()[0] = TEXT('S'); },
        [](CString& s) {
            s.GetBuffer(20)[0] = TEXT('S');
            s.ReleaseBuffer();
        },
        [](CString& s) { s.ReleaseBuffer(3); },
        [](CString& s) { s.GetBufferToFill(4)[0] = TEXT('S'); },
        [](CString& s) { s.Format(TEXT("%s!"), s.GetString()); },
        [](CString& s) { s = TEXT("other"); },
        [](CString& s) { s.Empty(); },
    };
    for (std::size_t i = 0; i < writes.size(); ++i) {
        CString s = original;
        writes[i](s);
        EXPECT_EQ(original.str(), TEXT("shared text")) << "write " << i;
        EXPECT_NE(s.GetString(), original.GetString()) << "write " << i;
    }
    // Appending to an empty string shares the appended one; appending to
    // itself reads what it had.
    CString empty;
    empty += original;
    EXPECT_EQ(empty.GetString(), original.GetString());
    CString twice = original;
    twice += twice;
    EXPECT_EQ(twice.str(), TEXT("shared textshared text"));
    EXPECT_EQ(original.str(), TEXT("shared text"));
}

// Reading a text box fills the string's own buffer when it holds the text
// with room to spare, and otherwise lets it go before taking a new one.
TEST(CStringSharing, AFilledBufferIsReusedOnlyWhenItIsItsOwnAndRoomy) {
    CString s;
    LPWSTR first = s.GetBufferToFill(1000);
    std::fill_n(first, 1000, TEXT('a'));
    s.ReleaseBuffer(1000);
    s += TEXT("\r\n"); // the room left covers a line end: no new buffer
    EXPECT_EQ(s.GetString(), first);
    EXPECT_EQ(s.GetBufferToFill(1000), first) << "the same length again fills in place";
    s.ReleaseBuffer(1000);
    EXPECT_EQ(s.GetLength(), 1000);

    const CString keep = s;
    LPWSTR other = s.GetBufferToFill(1000);
    EXPECT_NE(other, first) << "a shared buffer is never written";
    s.ReleaseBuffer(0);
    EXPECT_EQ(keep.GetLength(), 1000);
    EXPECT_EQ(keep.GetAt(999), TEXT('a'));

    CString small(TEXT("abc"));
    LPWSTR grown = small.GetBufferToFill(100000);
    EXPECT_EQ(grown[0], TEXT('\0')) << "the old text is not kept";
    small.ReleaseBuffer(0);
    EXPECT_TRUE(small.IsEmpty());
}

} // namespace
