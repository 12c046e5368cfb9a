#include "document/ansi_text_decoder.h"
#include "platform/win32/codepage.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr UINT kWestern = 1252;
constexpr UINT kChinese = 936;

// Feeds the bytes in chunks of the given sizes and answers the text.
std::basic_string<WCHAR> Decode(UINT codePage, const std::string& bytes,
                                const std::vector<size_t>& cuts) {
    AnsiTextDecoder decoder(codePage);
    CString out;
    size_t at = 0;
    for (size_t size : cuts) {
        decoder.Append(reinterpret_cast<const BYTE*>(bytes.data() + at), static_cast<DWORD>(size),
                       out);
        at += size;
    }
    decoder.Append(reinterpret_cast<const BYTE*>(bytes.data() + at),
                   static_cast<DWORD>(bytes.size() - at), out);
    decoder.Finish(out);
    return out.str();
}

// "中文" in code page 936 is D6 D0 CE C4.
const std::string kZhongWen = "\xD6\xD0\xCE\xC4";

TEST(AnsiTextDecoder, ADoubleByteCharacterSplitAcrossReadsIsReassembled) {
    // Every cut, including the one between the two bytes of a character.
    for (size_t cut = 0; cut <= kZhongWen.size(); ++cut) {
        EXPECT_EQ(Decode(kChinese, kZhongWen, {cut}), TEXT("\u4E2D\u6587")) << "cut at " << cut;
    }
    // Three reads with a character straddling each boundary.
    const std::string text = "a" + kZhongWen + "b" + kZhongWen;
    EXPECT_EQ(Decode(kChinese, text, {2, 4}), TEXT("a\u4E2D\u6587b\u4E2D\u6587"));
}

TEST(AnsiTextDecoder, TrailBytesInTheLeadRangeAreNotMistakenForLeads) {
    // D6 D0 twice: each D0 is a trail byte although it is also a lead value;
    // the cut after the fourth byte must not hold D0 back as a lead.
    const std::string text = "\xD6\xD0\xD6\xD0x";
    EXPECT_EQ(Decode(kChinese, text, {4}), TEXT("\u4E2D\u4E2Dx"));
}

TEST(AnsiTextDecoder, ZeroBytesAreDroppedAndTheTextAroundThemKept) {
    const std::string bytes = std::string("\0ab\0cd\0", 7);
    EXPECT_EQ(Decode(kWestern, bytes, {}), TEXT("abcd"));
    // A zero at the start, in the middle and at the end of separate reads.
    EXPECT_EQ(Decode(kWestern, bytes, {1, 3, 3}), TEXT("abcd"));
    const std::string later = std::string("x\0", 2) + "y";
    EXPECT_EQ(Decode(kWestern, later, {2}), TEXT("xy"));
}

TEST(AnsiTextDecoder, AZeroAfterALeadByteEndsThatCharacter) {
    // The lead byte cannot pair with what comes after the zero.
    const std::string bytes = std::string("\xD6\0", 2) + "A";
    const std::basic_string<WCHAR> text = Decode(kChinese, bytes, {1});
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), TEXT('A'));
    EXPECT_EQ(text.find(TEXT('\u4E2D')), std::basic_string<WCHAR>::npos);
}

TEST(AnsiTextDecoder, ALoneLeadByteAtTheEndIsNotLost) {
    const std::basic_string<WCHAR> text = Decode(kChinese, "ok\xD6", {});
    ASSERT_EQ(text.size(), 3u);
    EXPECT_EQ(text.substr(0, 2), TEXT("ok"));
}

// Runs of ASCII of every length up to 40 between one to three bytes from
// 0x80 up (no zero bytes): the same bytes every run.
std::string MixedRuns(std::size_t size) {
    std::uint32_t state = 99;
    const auto next = [&state](std::uint32_t below) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % below;
    };
    std::string bytes;
    while (bytes.size() < size) {
        for (std::uint32_t k = next(41); k > 0; --k) {
            bytes += static_cast<char>(' ' + next(95));
        }
        for (std::uint32_t k = 1 + next(3); k > 0; --k) {
            bytes += static_cast<char>(0x80 + next(0x80));
        }
    }
    bytes.resize(size);
    return bytes;
}

TEST(AnsiTextDecoder, MixedRunsCutIntoReadsAtEveryAlignmentReadAsTheWhole) {
    // Reads of the loader's 4096 bytes, the first shorter by 0 to 32 bytes,
    // so that the cuts fall at every alignment of the runs inside them.
    const std::string bytes = MixedRuns(3 * 4096 + 77);
    for (const UINT codePage : {kWestern, kChinese}) {
        std::basic_string<WCHAR> whole(bytes.size(), TEXT('\0'));
        whole.resize(static_cast<size_t>(
            MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()),
                                whole.data(), static_cast<int>(whole.size()))));
        ASSERT_FALSE(whole.empty());
        for (size_t shift = 0; shift <= 32; ++shift) {
            EXPECT_EQ(Decode(codePage, bytes, {4096 - shift, 4096, 4096}), whole)
                << "code page " << codePage << ", first read " << 4096 - shift << " bytes";
        }
    }
}

TEST(AnsiTextDecoder, WesternBytesMapOneToOne) {
    EXPECT_EQ(Decode(kWestern, "caf\xE9 \x80 \x81", {2}), TEXT("caf\u00E9 \u20AC \u0081"));
}

} // namespace
