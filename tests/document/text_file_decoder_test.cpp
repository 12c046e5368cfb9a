// Which encoding a file is read in, decided while it is read in pieces: UTF-16
// after its mark, UTF-8 when the whole file is UTF-8, else the ANSI code page,
// the file read a second time only when UTF-8 text was already taken.
#include "document/text_file_decoder.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr UINT kWestern = 1252;
constexpr UINT kChinese = 936;

struct Decoded {
    std::basic_string<WCHAR> text;
    int passes = 0; // how often the file was handed over from its start
    bool operator==(const Decoded&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Decoded& d) {
    os << d.passes << " pass(es):";
    for (WCHAR c : d.text) {
        os << ' ' << std::hex << static_cast<int>(c);
    }
    return os;
}

// Feeds the file in pieces of the given sizes (the rest in a last piece), as
// the loader does: from the start again whenever the decoder asks.
Decoded Decode(UINT codePage, const std::string& file, const std::vector<size_t>& pieces = {},
               AmbiguousText ambiguous = AmbiguousText::ReadsAsUtf8) {
    TextFileDecoder decoder(codePage, ambiguous);
    Decoded d;
    for (bool done = false; !done && d.passes < 3;) {
        ++d.passes;
        CString out;
        const auto* bytes = reinterpret_cast<const BYTE*>(file.data());
        size_t at = 0;
        done = true;
        for (size_t piece : pieces) {
            done = done && decoder.Append(bytes + at, static_cast<DWORD>(piece), out);
            at += piece;
        }
        done = done && decoder.Append(bytes + at, static_cast<DWORD>(file.size() - at), out) &&
               decoder.Finish(out);
        d.text = out.str();
    }
    return d;
}

// The same file cut in two at every place, and a byte at a time, must decode
// as the whole does.
void ExpectEveryCutAlike(UINT codePage, const std::string& file, const Decoded& whole,
                         AmbiguousText ambiguous = AmbiguousText::ReadsAsUtf8) {
    for (size_t cut = 0; cut <= file.size(); ++cut) {
        EXPECT_EQ(Decode(codePage, file, {cut}, ambiguous), whole) << "cut at " << cut;
    }
    EXPECT_EQ(Decode(codePage, file, std::vector<size_t>(file.size(), 1), ambiguous), whole)
        << "bytewise";
}

// "Grüße, 中文 😀" in each encoding.
const std::basic_string<WCHAR> kText = TEXT("Gr\u00FC\u00DFe, \u4E2D\u6587 \U0001F600");
const std::string kUtf8 = "Gr\xC3\xBC\xC3\x9F"
                          "e, \xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80";

std::string Utf16Bytes(const std::basic_string<WCHAR>& text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (WCHAR c : text) {
        const char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
        bytes += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
    return bytes;
}

TEST(TextFileDecoder, Utf8WithOrWithoutItsMarkIsReadAsUtf8) {
    ExpectEveryCutAlike(kWestern, kUtf8, {kText, 1});
    ExpectEveryCutAlike(kWestern, "\xEF\xBB\xBF" + kUtf8, {kText, 1});
    EXPECT_EQ(Decode(kWestern, "\xEF\xBB\xBF"), (Decoded{TEXT(""), 1})) << "the mark is not text";
}

TEST(TextFileDecoder, Utf16IsReadInTheByteOrderOfItsMark) {
    ExpectEveryCutAlike(kWestern, Utf16Bytes(kText, false), {kText, 1});
    ExpectEveryCutAlike(kWestern, Utf16Bytes(kText, true), {kText, 1});
    EXPECT_EQ(Decode(kWestern, "\xFF\xFE"), (Decoded{TEXT(""), 1}));
}

TEST(TextFileDecoder, Utf16ThatCannotBeSpelledBecomesReplacementCharacters) {
    const std::basic_string<WCHAR> units = {TEXT('a'), 0xD800, TEXT('b'), 0xDC00, TEXT('c'), 0xD83D,
                                            0,         0xDE00, 0xD83D,    0xDE00, 0xDBFF};
    // A lone high half, a lone low half, halves parted by a zero (which is
    // dropped), a good pair, a high half at the very end; then an odd byte.
    const Decoded expected{TEXT("a\uFFFDb\uFFFDc\uFFFD\uFFFD\U0001F600\uFFFD\uFFFD"), 1};
    ExpectEveryCutAlike(kWestern, Utf16Bytes(units, false) + "x", expected);
}

TEST(TextFileDecoder, ZeroBytesAreDroppedInEveryEncoding) {
    const std::string utf8 = std::string("\0a\xC3\xA9\0b\0", 7);
    ExpectEveryCutAlike(kWestern, utf8, {TEXT("a\u00E9b"), 1});
    ExpectEveryCutAlike(kWestern, Utf16Bytes(std::basic_string<WCHAR>(TEXT("a\0b"), 3), true),
                        {TEXT("ab"), 1});
}

TEST(TextFileDecoder, AnsiTextAfterAsciiIsReadInOnePass) {
    // Bytes that cannot be UTF-8 after nothing but ASCII: the ASCII stands,
    // and the ANSI code page takes over from there.
    const std::string western = std::string(9000, 'a') + "Gr\xFC\xDF \x80";
    ExpectEveryCutAlike(
        kWestern, western,
        {std::basic_string<WCHAR>(9000, TEXT('a')) + TEXT("Gr\u00FC\u00DF \u20AC"), 1});
    // A file ending inside what could have been a UTF-8 character.
    ExpectEveryCutAlike(kWestern, "abc\xE4", {TEXT("abc\u00E4"), 1});
    for (const char* shortFile : {"\xEF", "\xEF\xBB", "\xFF", "\xFE", "\xEF\xBB\x41"}) {
        const std::string bytes = shortFile;
        std::basic_string<WCHAR> expected;
        for (char c : bytes) {
            expected += static_cast<WCHAR>(static_cast<unsigned char>(c));
        }
        ExpectEveryCutAlike(kWestern, bytes, {expected, 1});
    }
}

TEST(TextFileDecoder, AnsiTextThatBeganLikeUtf8IsReadAgainFromTheStart) {
    // "Ã©" is C3 A9, valid UTF-8 for "é"; the lone E9 later shows the file is
    // 1252 after all, so all of it is 1252, the start included.
    const std::string western = "Caf\xC3\xA9 " + std::string(5000, 'x') + " caf\xE9";
    ExpectEveryCutAlike(
        kWestern, western,
        {TEXT("Caf\u00C3\u00A9 ") + std::basic_string<WCHAR>(5000, TEXT('x')) + TEXT(" caf\u00E9"),
         2});
    // A mark, then bytes that are not UTF-8: the mark was text in 1252.
    ExpectEveryCutAlike(kWestern,
                        "\xEF\xBB\xBF"
                        "abc\xE9",
                        {TEXT("\u00EF\u00BB\u00BFabc\u00E9"), 2});
    // UTF-8 text that ends inside a character.
    ExpectEveryCutAlike(kWestern, "\xC3\xA9\xC3", {TEXT("\u00C3\u00A9\u00C3"), 2});
}

TEST(TextFileDecoder, ChineseTextIsReadAsTheAnsiDecoderReadsIt) {
    // C4 A3 is also UTF-8 (U+0123): the second pair shows the file is 936.
    for (const std::string& file :
         {std::string("\xD6\xD0\xCE\xC4 abc"), std::string("\xC4\xA3\xD6\xD0\xCE\xC4\r\n\xB0")}) {
        AnsiTextDecoder ansi(kChinese);
        CString expected;
        ansi.Append(reinterpret_cast<const BYTE*>(file.data()), static_cast<DWORD>(file.size()),
                    expected);
        ansi.Finish(expected);
        const Decoded whole = Decode(kChinese, file);
        EXPECT_EQ(whole.text, expected.str());
        ExpectEveryCutAlike(kChinese, file, whole);
    }
    EXPECT_EQ(Decode(kChinese, "\xD6\xD0\xCE\xC4").text, TEXT("\u4E2D\u6587"));
}

// The first bytes of a file, then a read that stopped (failed or cancelled):
// what came is decoded as what it was being read as.
std::basic_string<WCHAR> DecodeStopped(UINT codePage, const std::string& start) {
    TextFileDecoder decoder(codePage);
    CString out;
    EXPECT_TRUE(decoder.Append(reinterpret_cast<const BYTE*>(start.data()),
                               static_cast<DWORD>(start.size()), out));
    decoder.Stop(out);
    return out.str();
}

TEST(TextFileDecoder, AStoppedReadIsNoEvidenceAboutTheEncoding) {
    // UTF-8 cut inside "é" (C3 A9) or "中" (E4 B8 AD): the text stays UTF-8 and
    // the unfinished character is left out, not read again in 1252.
    EXPECT_EQ(DecodeStopped(kWestern, "Caf\xC3\xA9 caf\xC3"), TEXT("Caf\u00E9 caf"));
    EXPECT_EQ(DecodeStopped(kWestern, "\xE4\xB8\xAD\xE4\xB8"), TEXT("\u4E2D"));
    EXPECT_EQ(DecodeStopped(kWestern, "\xEF\xBB\xBF\xC3"), TEXT("")) << "after a mark too";
    // The ANSI code page, cut after a lead byte: the half pair is left out.
    EXPECT_EQ(DecodeStopped(kChinese, "\xD6\xD0\xCE"), TEXT("\u4E2D"));
    // Cut before the file could show whether it begins with a mark.
    EXPECT_EQ(DecodeStopped(kWestern, "ab"), TEXT("ab"));
}

// "谢谢" in 936 is D0 BB D0 BB, which is also UTF-8 for "лл".
const std::string kThanksIn936 = "\xD0\xBB\xD0\xBB";

TEST(TextFileDecoder, TextThatReadsBothWaysGoesTheWayTheSystemPrefers) {
    ExpectEveryCutAlike(kChinese, kThanksIn936, {TEXT("\u8C22\u8C22"), 2},
                        AmbiguousText::ReadsAsAnsi);
    ExpectEveryCutAlike(kChinese, kThanksIn936, {TEXT("\u043B\u043B"), 1},
                        AmbiguousText::ReadsAsUtf8);
    // ASCII reads the same both ways: one pass.
    EXPECT_EQ(Decode(kChinese, "abc\r\n", {}, AmbiguousText::ReadsAsAnsi),
              (Decoded{TEXT("abc\r\n"), 1}));
}

TEST(TextFileDecoder, TextThatIsUtf8OnlyStaysUtf8WhateverThePreference) {
    // "中" then a line end: AD 0A is no pair in 936.
    ExpectEveryCutAlike(kChinese, "\xE4\xB8\xAD\n", {TEXT("\u4E2D\n"), 1},
                        AmbiguousText::ReadsAsAnsi);
    // A mark says UTF-8, whatever 936 could make of the rest.
    ExpectEveryCutAlike(kChinese, "\xEF\xBB\xBF" + kThanksIn936, {TEXT("\u043B\u043B"), 1},
                        AmbiguousText::ReadsAsAnsi);
    // A single-byte page reads nearly anything; UTF-8 that it also reads is
    // still UTF-8 ("é" is "Ã©" in 1252).
    ExpectEveryCutAlike(kWestern, "caf\xC3\xA9", {TEXT("caf\u00E9"), 1},
                        AmbiguousText::ReadsAsAnsi);
}

} // namespace
