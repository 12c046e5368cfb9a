// One meaning of "ignoring case" for mnemonics, lists, file filters and
// device names, whatever the process's locale.
#include "platform/text/fold_case.h"

#include <clocale>
#include <gtest/gtest.h>

namespace {

TEST(FoldCase, FoldsBeyondAsciiTheSameInEveryLocale) {
    (void)std::setlocale(LC_ALL, "C"); // towlower would leave É alone here
    EXPECT_EQ(text::FoldCase(U'A'), U'a');
    EXPECT_EQ(text::FoldCase(U'\u00C9'), U'\u00E9');         // É
    EXPECT_EQ(text::FoldCase(U'\u0394'), U'\u03B4');         // Δ
    EXPECT_EQ(text::FoldCase(U'\U00010400'), U'\U00010428'); // Deseret, beyond the BMP
    EXPECT_EQ(text::FoldCase(U'7'), U'7');
    EXPECT_EQ(text::FoldCase(U'\u4E2D'), U'\u4E2D');
}

TEST(FoldCase, ComparesFoldedTextInOrder) {
    EXPECT_EQ(text::CompareFolded(u"COM3", u"com3"), 0);
    EXPECT_EQ(text::CompareFolded(u"Caf\u00C9", u"caf\u00E9"), 0);
    EXPECT_LT(text::CompareFolded(u"apple", u"Banana"), 0);
    EXPECT_GT(text::CompareFolded(u"abc", u"AB"), 0);
}

} // namespace
