// The Win32 rules around the mapping tables: lengths and terminators, size
// queries, short buffers, default characters, composite flags, bad input,
// other code pages and UTF-8.
#include "platform/win32/kernel.h"
#include "tests/platform/text/conversion.h"
#include "tests/platform/text/reference_tables.h"
#include "tests/support/system_differences.h"

#include <array>
#include <gtest/gtest.h>
#include <string>

namespace {

TEST(WideToCodePage, MinusOneConvertsAndCountsTheTerminator) {
    EXPECT_EQ(WideCharToMultiByte(1252, 0, TEXT("AB"), -1, nullptr, 0, nullptr, nullptr), 3);
    std::array<char, 4> out{'x', 'x', 'x', 'x'};
    EXPECT_EQ(WideCharToMultiByte(1252, 0, TEXT("AB"), -1, out.data(), 4, nullptr, nullptr), 3);
    EXPECT_EQ(std::string(out.data(), 4), std::string("AB\0x", 4));
}

TEST(WideToCodePage, AnExplicitLengthAddsNoTerminator) {
    std::array<char, 4> out{'x', 'x', 'x', 'x'};
    EXPECT_EQ(WideCharToMultiByte(1252, 0, TEXT("ABC"), 2, out.data(), 4, nullptr, nullptr), 2);
    EXPECT_EQ(std::string(out.data(), 4), "ABxx");
}

TEST(WideToCodePage, TheEmptyStringIsItsTerminator) {
    char out[2] = {'x', 'x'};
    EXPECT_EQ(WideCharToMultiByte(936, 0x220, TEXT(""), -1, nullptr, 0, nullptr, nullptr), 1);
    EXPECT_EQ(WideCharToMultiByte(936, 0x240, TEXT(""), -1, out, 1, nullptr, nullptr), 1);
    EXPECT_EQ(out[0], '\0');
    EXPECT_EQ(out[1], 'x');
}

TEST(WideToCodePage, AShortBufferFailsWithoutWritingPastIt) {
    std::array<char, 4> out{'x', 'x', 'x', 'x'};
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(1252, 0, TEXT("abc"), 3, out.data(), 2, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(out[2], 'x');

    // A double-byte character is never split at the end of the buffer.
    out.fill('x');
    EXPECT_EQ(WideCharToMultiByte(936, 0, TEXT("a\u4E2D"), 2, out.data(), 2, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(out[1], 'x');
    EXPECT_EQ(WideCharToMultiByte(936, 0, TEXT("a\u4E2D"), 2, out.data(), 3, nullptr, nullptr), 3);
    EXPECT_EQ(std::string(out.data(), 3), "a\xD6\xD0");
}

// Long runs of ASCII are copied whole; the runs must end exactly where the
// unit-by-unit rules take over: before a mark that joins the run's last
// letter, before a surrogate, at the end of a short buffer.
TEST(WideToCodePage, LongAsciiRunsEndWhereTheRulesTakeOver) {
    DIFFERS_ON_WINDOWS("Wine does no composite check, and best-fits the lone mark");
    const std::basic_string<WCHAR> run(40, TEXT('a'));
    for (const UINT cp : {1252u, 936u}) {
        // e + combining acute folds into é under both printer flag sets; x
        // has no precomposed form: separate gives x and ?, default gives ?.
        const std::basic_string<WCHAR> folds = run + TEXT("e\u0301") + run;
        const std::basic_string<WCHAR> keeps = run + TEXT("x\u0301") + run;
        char out[128] = {};
        const std::string a(40, 'a');
        const std::string eAcute = cp == 1252 ? "\xE9" : "\xA8\xA6";
        int n = WideCharToMultiByte(cp, 0x240, folds.c_str(), static_cast<int>(folds.size()), out,
                                    sizeof(out), nullptr, nullptr);
        EXPECT_EQ(std::string(out, static_cast<std::size_t>(n)), a + eAcute + a) << cp;
        EXPECT_EQ(WideCharToMultiByte(cp, 0x220, folds.c_str(), static_cast<int>(folds.size()),
                                      nullptr, 0, nullptr, nullptr),
                  n)
            << cp;
        n = WideCharToMultiByte(cp, 0x220, keeps.c_str(), static_cast<int>(keeps.size()), out,
                                sizeof(out), nullptr, nullptr);
        EXPECT_EQ(std::string(out, static_cast<std::size_t>(n)), a + "x?" + a) << cp;
        n = WideCharToMultiByte(cp, 0x240, keeps.c_str(), static_cast<int>(keeps.size()), out,
                                sizeof(out), nullptr, nullptr);
        EXPECT_EQ(std::string(out, static_cast<std::size_t>(n)), a + "?" + a) << cp;
        // A surrogate pair right after a run is one character: one default.
        const std::basic_string<WCHAR> pair = run + TEXT("\U0001F600") + run;
        n = WideCharToMultiByte(cp, 0, pair.c_str(), static_cast<int>(pair.size()), out,
                                sizeof(out), nullptr, nullptr);
        EXPECT_EQ(std::string(out, static_cast<std::size_t>(n)), a + "?" + a) << cp;
        // A buffer that ends inside a run takes what fits and fails.
        std::array<char, 24> small{};
        small.fill('x');
        SetLastError(0);
        EXPECT_EQ(WideCharToMultiByte(cp, 0, run.c_str(), 40, small.data(), 20, nullptr, nullptr),
                  0);
        EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
        EXPECT_EQ(std::string(small.data(), 24), std::string(20, 'a') + "xxxx") << cp;
    }
}

TEST(WideToCodePage, TheCallersDefaultCharacterAndUsedFlag) {
    DIFFERS_ON_WINDOWS("the system best-fits U+0100 in 936");
    char out[8] = {};
    BOOL used = TRUE;
    EXPECT_EQ(WideCharToMultiByte(1252, 0, TEXT("a\u4E00"), 2, out, 8, "*", &used), 2);
    EXPECT_EQ(std::string(out, 2), "a*");
    EXPECT_TRUE(used);
    EXPECT_EQ(WideCharToMultiByte(1252, 0, TEXT("ab"), 2, out, 8, "*", &used), 2);
    EXPECT_FALSE(used);
    // A double-byte page takes a double-byte default character.
    EXPECT_EQ(WideCharToMultiByte(936, 0, TEXT("\u0100"), 1, out, 8, "\xA1\xF5", &used), 2);
    EXPECT_EQ(std::string(out, 2), "\xA1\xF5");
}

TEST(WideToCodePage, SurrogatesBecomeOneDefaultCharacterEach) {
    DIFFERS_ON_WINDOWS("Wine replaces each half of a pair");
    // A pair is one character; an unpaired half is one bad character.
    EXPECT_EQ(Encode(1252, 0, TEXT("a\U0001F600b")), "a?b");
    EXPECT_EQ(Encode(936, 0,
                     std::basic_string<WCHAR>{TEXT('a'), WCHAR(0xD800), TEXT('b'), WCHAR(0xDC00)}),
              "a?b?");
}

struct CompositeCase {
    const char* name;
    DWORD flags;
    std::basic_string<WCHAR> text;
    std::string bytes;
};

class CompositeRules : public ::testing::TestWithParam<CompositeCase> {};

TEST_P(CompositeRules, Convert) {
    const auto& c = GetParam();
    DIFFERS_ON_WINDOWS_IF(
        !testing_support::OneOf(c.name, {"FoldsWhenThePageHasTheCharacter", "DiscardTheMark",
                                         "WithoutCheckTheFlagsDoNothing"}),
        "Wine does no composite check");
    EXPECT_EQ(reference::Hex(Encode(1252, c.flags, c.text)), reference::Hex(c.bytes));
}

// a + diaeresis folds into U+00E4; a second mark (acute) has no precomposed
// form with it in 1252, so the flags decide its fate.
INSTANTIATE_TEST_SUITE_P(
    Cases, CompositeRules,
    ::testing::Values(
        CompositeCase{"FoldsWhenThePageHasTheCharacter", 0x200, TEXT("e\u0301"), "\xE9"},
        CompositeCase{"CheckAloneMeansSeparate", 0x200, TEXT("c\u030C"), "c?"},
        CompositeCase{"Separate", 0x220, TEXT("c\u030C!"), "c?!"},
        CompositeCase{"DefaultCharacterForTheWhole", 0x240, TEXT("c\u030C!"), "?!"},
        CompositeCase{"DiscardTheMark", 0x210, TEXT("c\u030C!"), "c!"},
        CompositeCase{"SecondMarkSeparate", 0x220, TEXT("a\u0308\u0301"), "\xE4?"},
        CompositeCase{"SecondMarkDefault", 0x240, TEXT("a\u0308\u0301"), "?"},
        CompositeCase{"SecondMarkDiscarded", 0x210, TEXT("a\u0308\u0301"), "\xE4"},
        CompositeCase{"NoBaseNoComposite", 0x240, TEXT("\u0301a"), "?a"},
        CompositeCase{"MarkOnUnrepresentableBase", 0x240, TEXT("\u4E00\u0301x"), "?x"},
        CompositeCase{"WithoutCheckTheFlagsDoNothing", 0x040, TEXT("c\u030C"), "c?"},
        CompositeCase{"WithoutCheckNothingFolds", 0, TEXT("e\u0301"), "e?"}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(WideToCodePage, SizeQueryWithSeparateCountsMoreThanConversionWithDefault) {
    DIFFERS_ON_WINDOWS("Wine does no composite check");
    // The printer path sizes with 0x220 and converts with 0x240 into a
    // zeroed buffer of that size plus one: a composite with no precomposed
    // form counts two bytes and produces one, so extra zeros follow.
    const WCHAR* text = TEXT("q\u0301z");
    const int size = WideCharToMultiByte(1252, 0x220, text, -1, nullptr, 0, nullptr, nullptr);
    ASSERT_EQ(size, 4);
    std::string buffer(static_cast<std::size_t>(size) + 1, '\0');
    EXPECT_EQ(WideCharToMultiByte(1252, 0x240, text, -1, buffer.data(), size, nullptr, nullptr), 3);
    EXPECT_EQ(buffer, std::string("?z\0\0\0", 5));
}

TEST(WideToCodePage, FlagsThatDoNotGoTogetherAreRefused) {
    DIFFERS_ON_WINDOWS("Wine accepts any flags");
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(1252, 0x260, TEXT("a"), 1, nullptr, 0, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_FLAGS);
    EXPECT_EQ(WideCharToMultiByte(1252, 0x1, TEXT("a"), 1, nullptr, 0, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_FLAGS);
    EXPECT_EQ(
        WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, TEXT("a"), 1, nullptr, 0, nullptr, nullptr),
        1);
}

TEST(WideToCodePage, NoBestFit) {
    DIFFERS_ON_WINDOWS("the system best-fits; we do not");
    // Win32's best-fit tables would make these 'A', '8' and 'a'.
    EXPECT_EQ(Encode(1252, 0, TEXT("\u0100\u221E\uFF41")), "???");
}

TEST(CodePageToWide, MinusOneConvertsTheTerminator) {
    std::array<WCHAR, 4> out{TEXT('x'), TEXT('x'), TEXT('x'), TEXT('x')};
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "A\x80", -1, nullptr, 0), 3);
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "A\x80", -1, out.data(), 4), 3);
    EXPECT_EQ(std::basic_string<WCHAR>(out.data(), 4),
              std::basic_string<WCHAR>(TEXT("A\u20AC\0x"), 4));
}

TEST(CodePageToWide, AShortBufferFailsWithoutWritingPastIt) {
    std::array<WCHAR, 3> out{TEXT('x'), TEXT('x'), TEXT('x')};
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(936, 0, "ab\xD6\xD0", 4, out.data(), 2), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(out[2], TEXT('x'));
}

struct DecodeCase {
    const char* name;
    unsigned code_page;
    std::string bytes;
    std::basic_string<WCHAR> text;
};

class BadDoubleByteInput : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(BadDoubleByteInput, BecomesTheDefaultCharacterOrFailsWhenStrict) {
    const auto& c = GetParam();
    DIFFERS_ON_WINDOWS_IF(
        !testing_support::OneOf(c.name, {"LoneLeadByteAtTheEnd", "LeadByteBeforeTheTerminator",
                                         "JapaneseUsesTheMiddleDot"}),
        "Wine consumes a bad pair otherwise");
    EXPECT_EQ(Decode(c.code_page, 0, c.bytes), c.text);
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(c.code_page, MB_ERR_INVALID_CHARS, c.bytes.data(),
                                  static_cast<int>(c.bytes.size()), nullptr, 0),
              0);
    EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadDoubleByteInput,
    ::testing::Values(DecodeCase{"LoneLeadByteAtTheEnd", 936, "ab\xB0", TEXT("ab?")},
                      DecodeCase{"LeadByteBeforeALineEnd", 936, "\xB0\r\n", TEXT("?\r\n")},
                      DecodeCase{"LeadByteBeforeADigit", 936,
                                 "\x81"
                                 "0",
                                 TEXT("?0")},
                      DecodeCase{"LeadByteBeforeDelete", 936, "\x81\x7F", TEXT("?\x7F")},
                      DecodeCase{"LeadByteBeforeFF", 936, "\x81\xFF", TEXT("?\uF8F5")},
                      DecodeCase{"LeadByteBeforeTheTerminator", 936, std::string("\xB0\0", 2),
                                 std::basic_string<WCHAR>(TEXT("?\0"), 2)},
                      DecodeCase{"JapaneseUsesTheMiddleDot", 932, "\x82", TEXT("\u30FB")}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(CodePageToWide, UserDefinedAreasAndEuro) {
    DIFFERS_ON_WINDOWS("Wine's 936 lacks the user-defined areas");
    EXPECT_EQ(Decode(936, MB_ERR_INVALID_CHARS, "\x80\xAA\xA1\xFE\xFE\xFF"),
              TEXT("\u20AC\uE000\uE4C5\uF8F5"));
    EXPECT_EQ(Decode(1252, MB_ERR_INVALID_CHARS, "\x81\x8D\x8F\x90\x9D"),
              TEXT("\u0081\u008D\u008F\u0090\u009D"));
}

TEST(CodePageToWide, CompositeOutputDecomposes) {
    DIFFERS_ON_WINDOWS("Wine accepts MB_PRECOMPOSED with MB_COMPOSITE");
    EXPECT_EQ(Decode(1252, MB_COMPOSITE, "e\xE9\xC5"), TEXT("ee\u0301A\u030A"));
    EXPECT_EQ(Decode(1252, MB_PRECOMPOSED, "\xE9"), TEXT("\u00E9"));
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(1252, MB_PRECOMPOSED | MB_COMPOSITE, "a", 1, nullptr, 0), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_FLAGS);
}

TEST(CodePages, BadArgumentsAreRefused) {
    DIFFERS_ON_WINDOWS("code page 1 is the OEM page on Windows");
    char out[4];
    WCHAR wide[4];
    const auto refused = [](int result) {
        return result == 0 && GetLastError() == ERROR_INVALID_PARAMETER;
    };
    EXPECT_TRUE(refused(WideCharToMultiByte(1252, 0, nullptr, -1, out, 4, nullptr, nullptr)));
    EXPECT_TRUE(refused(WideCharToMultiByte(1252, 0, TEXT("a"), 0, out, 4, nullptr, nullptr)));
    EXPECT_TRUE(refused(WideCharToMultiByte(1252, 0, TEXT("a"), 1, out, -1, nullptr, nullptr)));
    EXPECT_TRUE(refused(WideCharToMultiByte(1252, 0, TEXT("a"), 1, nullptr, 4, nullptr, nullptr)));
    EXPECT_TRUE(refused(MultiByteToWideChar(1252, 0, nullptr, -1, wide, 4)));
    EXPECT_TRUE(refused(MultiByteToWideChar(1252, 0, "a", 0, wide, 4)));
    EXPECT_TRUE(refused(MultiByteToWideChar(1252, 0, "a", 1, wide, -1)));
    EXPECT_TRUE(refused(MultiByteToWideChar(1252, 0, "a", 1, nullptr, 4)));
    // Unknown code pages, and pages that are not ANSI pages.
    for (UINT cp : {12345u, 1u, 1200u}) {
        EXPECT_TRUE(refused(WideCharToMultiByte(cp, 0, TEXT("a"), 1, out, 4, nullptr, nullptr)))
            << cp;
        EXPECT_TRUE(refused(MultiByteToWideChar(cp, 0, "a", 1, wide, 4))) << cp;
        EXPECT_FALSE(IsDBCSLeadByteEx(cp, 0x81)) << cp;
    }
}

struct OtherPage {
    unsigned code_page;
    std::basic_string<WCHAR> text;
    std::string bytes;
};

class OtherPages : public ::testing::TestWithParam<OtherPage> {};

TEST_P(OtherPages, ConvertBothWays) {
    const auto& p = GetParam();
    EXPECT_EQ(reference::Hex(Encode(p.code_page, 0, p.text)), reference::Hex(p.bytes));
    EXPECT_EQ(Decode(p.code_page, 0, p.bytes), p.text);
}

INSTANTIATE_TEST_SUITE_P(
    EveryLocaleChoice, OtherPages,
    ::testing::Values(
        OtherPage{874, TEXT("\u0E3F"), "\xDF"}, OtherPage{932, TEXT("\u3042"), "\x82\xA0"},
        OtherPage{949, TEXT("\uAC00"), "\xB0\xA1"}, OtherPage{950, TEXT("\u4E2D"), "\xA4\xA4"},
        OtherPage{1250, TEXT("\u010D"), "\xE8"}, OtherPage{1251, TEXT("\u0416"), "\xC6"},
        OtherPage{1253, TEXT("\u03B1"), "\xE1"}, OtherPage{1254, TEXT("\u011F"), "\xF0"},
        OtherPage{1255, TEXT("\u05D0"), "\xE0"}, OtherPage{1256, TEXT("\u0627"), "\xC7"},
        OtherPage{1257, TEXT("\u0161"), "\xF0"}, OtherPage{1258, TEXT("\u20AB"), "\xFE"}));

TEST(LeadBytes, OfTheChinesePageAndNoneInSingleBytePages) {
    for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(IsDBCSLeadByteEx(936, static_cast<BYTE>(b)) != FALSE, b >= 0x81 && b <= 0xFE)
            << b;
        EXPECT_FALSE(IsDBCSLeadByteEx(1252, static_cast<BYTE>(b))) << b;
    }
    EXPECT_TRUE(IsDBCSLeadByteEx(932, 0x81));
    EXPECT_FALSE(IsDBCSLeadByteEx(932, 0xA1)); // half-width katakana: one byte
    EXPECT_EQ(IsDBCSLeadByteEx(CP_ACP, 0x81), IsDBCSLeadByteEx(GetACP(), 0x81));
}

TEST(Utf8Page, ConvertsAndReplacesIllFormedInput) {
    EXPECT_EQ(Encode(CP_UTF8, 0, TEXT("a\u00E9\u4E2D\U0001F600")),
              "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80");
    EXPECT_EQ(Decode(CP_UTF8, 0, "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80"),
              TEXT("a\u00E9\u4E2D\U0001F600"));
    EXPECT_EQ(Encode(CP_UTF8, 0, std::basic_string<WCHAR>{TEXT('a'), WCHAR(0xDC00)}),
              "a\xEF\xBF\xBD");
    // One replacement per maximal ill-formed part: a truncated three-byte
    // sequence, a stray continuation byte, an overlong form.
    EXPECT_EQ(Decode(CP_UTF8, 0, "\xE4\xB8z\x80\xC0\xAF"), TEXT("\uFFFDz\uFFFD\uFFFD\uFFFD"));

    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "\xFF", 1, nullptr, 0), 0);
    EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
    const WCHAR lone[] = {0xD800, 0};
    EXPECT_EQ(
        WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, lone, 1, nullptr, 0, nullptr, nullptr),
        0);
    EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
}

TEST(Utf8Page, RefusesOtherFlagsAndADefaultCharacter) {
    DIFFERS_ON_WINDOWS("Wine accepts them");
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0x200, TEXT("a"), 1, nullptr, 0, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_FLAGS);
    BOOL used = FALSE;
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, TEXT("a"), 1, nullptr, 0, nullptr, &used), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(Utf8Page, StrictDecodingAcceptsOnlyWellFormedUtf8) {
    // What the file loader relies on to tell UTF-8 files from others.
    EXPECT_EQ(Decode(CP_UTF8, MB_ERR_INVALID_CHARS, std::string("a\0\xC3\xA9\xF0\x9F\x98\x80", 8)),
              std::basic_string<WCHAR>(TEXT("a\0\u00E9\U0001F600"), 5))
        << "a zero byte is a character";
    // Overlong forms, encoded surrogates, values past U+10FFFF, a stray
    // continuation byte, bytes never used, a sequence cut short at the end.
    for (const char* bad : {"\xC0\x80", "\xC1\xBF", "\xE0\x80\x80", "\xF0\x80\x80\x80",
                            "\xED\xA0\x80", "\xED\xBF\xBF", "\xF4\x90\x80\x80", "\xF5\x80\x80\x80",
                            "\x80", "a\xBFz", "\xFE", "\xFF", "\xE4\xB8", "ok\xF0\x9F\x98"}) {
        const int length = static_cast<int>(std::char_traits<char>::length(bad));
        WCHAR out[8] = {};
        SetLastError(0);
        EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bad, length, out, 8), 0)
            << bad;
        EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION) << bad;
        EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bad, length, nullptr, 0), 0)
            << "the size query refuses it too: " << bad;
    }
}

} // namespace
