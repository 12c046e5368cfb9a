// The incremental line index must always equal a fresh scan of the text,
// whatever is inserted or deleted where (line breaks split and joined, "\r"
// and "\n" meeting across an edit).
#include "platform/windows/text_model.h"

#include <gtest/gtest.h>
#include <random>

using windows::TextModel;

namespace {

void ExpectIndexed(const TextModel& m) {
    ASSERT_EQ(m.lineStarts(), TextModel::ScanLineStarts(m.text())) << "after text of " << m.size();
}

} // namespace

TEST(TextModel, LineBreaksOfAllThreeKinds) {
    TextModel m;
    m.setText(u"ab\r\ncd\nef\rg");
    ASSERT_EQ(m.lineCount(), 4u);
    EXPECT_EQ(m.lineLength(0), 2u);
    EXPECT_EQ(m.lineStart(1), 4u);
    EXPECT_EQ(m.lineLength(1), 2u);
    EXPECT_EQ(m.lineLength(2), 2u);
    EXPECT_EQ(m.lineLength(3), 1u);
    EXPECT_EQ(m.lineOf(3), 0u); // inside "\r\n": the line it ends
    EXPECT_EQ(m.lineOf(4), 1u);
}

TEST(TextModel, EditsThatJoinAndSplitCrLf) {
    TextModel m;
    m.setText(u"a\rb");
    m.replace(2, 0, u"\n"); // "\r" + "\n" become one break
    ExpectIndexed(m);
    EXPECT_EQ(m.lineCount(), 2u);
    m.replace(2, 0, u"x"); // and split again
    ExpectIndexed(m);
    EXPECT_EQ(m.lineCount(), 3u);
    m.replace(0, m.size(), u"");
    ExpectIndexed(m);
    EXPECT_EQ(m.lineCount(), 1u);
}

TEST(TextModel, RandomEditsKeepTheIndexExact) {
    std::mt19937 rng(1234);
    const std::u16string pieces[] = {u"a", u"\r", u"\n", u"\r\n", u"xy\r\nz", u"\n\r", u"hello"};
    TextModel m;
    m.setText(u"start\r\nof\rtext\n");
    for (int i = 0; i < 3000; ++i) {
        const std::size_t pos = m.size() == 0 ? 0 : rng() % (m.size() + 1);
        const std::size_t count = rng() % 4 == 0 ? rng() % 5 : 0;
        const auto& with = pieces[rng() % std::size(pieces)];
        m.replace(pos, count, rng() % 3 == 0 ? std::u16string_view{} : std::u16string_view{with});
        ExpectIndexed(m);
    }
}
