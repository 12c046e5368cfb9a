// The UTF-8 coder every text edge shares, and the surrogate tests of tier 1.
#include "platform/text/utf8.h"
#include "platform/win32/codepage.h"

#include <gtest/gtest.h>
#include <string>
#include <string_view>

namespace {

using text::DecodeUtf8Step;
using text::Utf8Errors;

TEST(Utf8Coder, EveryCodePointComesBackUnderBothRules) {
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        if (text::IsSurrogateCodePoint(c)) {
            continue;
        }
        std::string bytes;
        text::AppendUtf8Form(bytes, c);
        for (Utf8Errors rule : {Utf8Errors::kMaximalSubpart, Utf8Errors::kWholeForm}) {
            const text::Utf8Step step = DecodeUtf8Step(bytes, 0, rule);
            ASSERT_TRUE(step.wellFormed) << std::hex << static_cast<unsigned>(c);
            ASSERT_EQ(step.value, c) << std::hex << static_cast<unsigned>(c);
            ASSERT_EQ(step.length, bytes.size()) << std::hex << static_cast<unsigned>(c);
        }
    }
}

TEST(Utf8Coder, IllFormedInputIsTakenAsEachRuleSays) {
    struct Case {
        std::string_view bytes;
        std::size_t maximalSubpart; // bytes the first step takes under each rule
        std::size_t wholeForm;
    };
    const Case cases[] = {
        {"\x80", 1, 1},                 // a stray continuation byte
        {"\xC0\x80", 1, 2},             // overlong NUL
        {"\xE0\x80\x80", 1, 3},         // overlong, three bytes
        {"\xED\xA0\x80", 1, 3},         // an encoded surrogate
        {"\xF4\x90\x80\x80", 1, 4},     // past U+10FFFF
        {"\xF5\x80\x80\x80", 1, 4},     // a lead byte no character starts with
        {"\xF8\x80\x80\x80\x80", 1, 1}, // a five-byte form
        {"\xE2\x82", 2, 1},             // cut short after a good start
        {"\xF0\x9F\x98", 3, 1},
        {"\xE2\x82\x41", 2, 1}, // a start that a plain byte ends
    };
    for (const Case& c : cases) {
        const auto strict = DecodeUtf8Step(c.bytes, 0, Utf8Errors::kMaximalSubpart);
        const auto whole = DecodeUtf8Step(c.bytes, 0, Utf8Errors::kWholeForm);
        EXPECT_FALSE(strict.wellFormed) << testing::PrintToString(c.bytes);
        EXPECT_FALSE(whole.wellFormed) << testing::PrintToString(c.bytes);
        EXPECT_EQ(strict.length, c.maximalSubpart) << testing::PrintToString(c.bytes);
        EXPECT_EQ(whole.length, c.wholeForm) << testing::PrintToString(c.bytes);
    }
}

TEST(Win32Surrogates, UnitsAreSortedAtTheRangeEdges) {
    EXPECT_FALSE(IS_HIGH_SURROGATE(0xD7FF));
    EXPECT_TRUE(IS_HIGH_SURROGATE(0xD800));
    EXPECT_TRUE(IS_HIGH_SURROGATE(0xDBFF));
    EXPECT_FALSE(IS_HIGH_SURROGATE(0xDC00));
    EXPECT_FALSE(IS_LOW_SURROGATE(0xDBFF));
    EXPECT_TRUE(IS_LOW_SURROGATE(0xDC00));
    EXPECT_TRUE(IS_LOW_SURROGATE(0xDFFF));
    EXPECT_FALSE(IS_LOW_SURROGATE(0xE000));
    EXPECT_TRUE(IS_SURROGATE_PAIR(0xD83D, 0xDE00));
    EXPECT_FALSE(IS_SURROGATE_PAIR(0xDE00, 0xD83D));
}

} // namespace
