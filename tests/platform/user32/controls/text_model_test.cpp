// The text box's text in blocks: whatever is inserted or deleted where, the
// text reads back as a plain string edited the same way would, the lines are
// where a fresh scan finds them, and the storage stays one byte a unit while
// the units fit.
#include "platform/user32/controls/text_model.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>

using user32::TextModel;

namespace {

// The model against a plain string edited alike.
void ExpectSame(const TextModel& m, const std::u16string& expected) {
    ASSERT_EQ(m.size(), expected.size());
    ASSERT_EQ(m.text(), expected);
    const auto starts = TextModel::scanLineStarts(expected);
    ASSERT_EQ(m.lineStarts(), starts);
    for (std::size_t line = 0; line < starts.size(); ++line) {
        const std::size_t end = line + 1 < starts.size() ? starts[line + 1] : expected.size();
        std::size_t length = end - starts[line];
        if (line + 1 < starts.size()) {
            length -= (length >= 2 && expected[end - 2] == u'\r') ? 2 : 1;
        }
        ASSERT_EQ(m.lineLength(line), length) << "line " << line;
        ASSERT_EQ(m.lineOf(starts[line]), line);
        ASSERT_EQ(m.lineOf(starts[line] + length), line) << "its end";
    }
}

} // namespace

TEST(TextModel, LinesEndAtCrLfAndLfOnlyAsOnPaper) {
    TextModel m;
    m.setText(u"ab\r\ncd\nef\rg\r");
    ASSERT_EQ(m.lineCount(), 3u);
    EXPECT_EQ(m.lineLength(0), 2u);
    EXPECT_EQ(m.lineStart(1), 4u);
    EXPECT_EQ(m.lineLength(1), 2u);
    EXPECT_EQ(m.lineStart(2), 7u);
    EXPECT_EQ(m.lineLength(2), 5u) << "a lone CR is a character of its line, even at the end";
    EXPECT_EQ(m.lineOf(3), 0u) << "inside CR LF: the line it ends";
    EXPECT_EQ(m.lineOf(4), 1u);
    EXPECT_EQ(m.lineOf(10), 2u);
}

TEST(TextModel, EditsThatMakeAndBreakLineEnds) {
    TextModel m(4);
    std::u16string s = u"a\rb";
    m.setText(s);
    ExpectSame(m, s);
    EXPECT_EQ(m.lineCount(), 1u);
    m.replace(2, 0, u"\n"); // CR + LF: one line end
    s.insert(2, u"\n");
    ExpectSame(m, s);
    EXPECT_EQ(m.lineCount(), 2u);
    m.replace(2, 0, u"x"); // the CR alone again, the LF still ends the line
    s.insert(2, u"x");
    ExpectSame(m, s);
    EXPECT_EQ(m.lineCount(), 2u);
    m.replace(0, m.size(), u"");
    ExpectSame(m, u"");
    EXPECT_EQ(m.lineCount(), 1u);
}

TEST(TextModel, RandomEditsAcrossBlocksReadBackExactly) {
    // Blocks of 8 units, so that edits cross, split, merge and empty them;
    // long insertions and erasures take many blocks at once; more than 128
    // different units beyond ASCII run out of bytes and widen blocks.
    std::mt19937 rng(1234);
    const std::u16string pieces[] = {u"a",       u"\r",         u"\n",         u"\r\n",
                                     u"xy\r\nz", u"\n\r",       u"h\u00E9llo", u"\u20AC",
                                     u"\u4E2D",  u"\U0001F600", u"line\r\n"};
    for (const std::size_t block : {std::size_t{8}, std::size_t{3}}) {
        TextModel m(block);
        std::u16string s = u"start\r\nof\rtext\n";
        m.setText(s);
        for (int i = 0; i < 3000; ++i) {
            const std::size_t pos = rng() % (s.size() + 1);
            std::size_t count = rng() % 4 == 0 ? rng() % 5 : 0;
            if (rng() % 50 == 0) {
                count = rng() % 200; // far across blocks
            }
            std::u16string with;
            switch (rng() % 8) {
            case 0:
                break;
            case 1: // a run of new units beyond any byte
                for (int k = 0; k < 40; ++k) {
                    with += static_cast<char16_t>(0x0400 + rng() % 600);
                }
                break;
            case 2:
                for (int k = 0; k < 30; ++k) {
                    with += pieces[rng() % std::size(pieces)];
                }
                break;
            default:
                with = pieces[rng() % std::size(pieces)];
            }
            m.replace(pos, count, with);
            count = std::min(count, s.size() - pos);
            s.replace(pos, count, with);
            const std::size_t at = rng() % (s.size() + 1);
            ASSERT_EQ(m.units(at, at + 7), s.substr(at, 7)) << "edit " << i;
            ASSERT_EQ(m.size(), s.size());
            ASSERT_EQ(m.lineOf(at),
                      static_cast<std::size_t>(std::count(
                          s.begin(), s.begin() + static_cast<std::ptrdiff_t>(at), u'\n')));
            if (i % 25 == 0) {
                ExpectSame(m, s);
            }
        }
    }
}

TEST(TextModel, OneByteAUnitWhileTheUnitsFitAndTwoOtherwise) {
    // Code page 1252's text: ASCII, Latin-1 and its symbols beyond Latin-1.
    std::u16string text;
    for (int i = 0; i < 40000; ++i) {
        text += u"caf\u00E9 \u20AC12 \u201Cquoted\u201D \u2014 na\u00EFve\r\n";
    }
    TextModel m;
    m.setText(text);
    EXPECT_LE(m.storedBytes(), text.size() + text.size() / 100);
    // A character beyond a byte widens its own block only.
    m.replace(text.size() / 2, 0, u"\u4E2D");
    text.insert(text.size() / 2, u"\u4E2D");
    EXPECT_LE(m.storedBytes(), text.size() + 4 * TextModel::kBlockLength);
    EXPECT_EQ(m.text(), text);

    // Text with more different characters than bytes: two bytes a unit,
    // and nothing kept of the tries at one.
    std::u16string chinese;
    for (char16_t c = 0x4E00; chinese.size() < 300000; c = c == 0x9FA5 ? 0x4E00 : c + 1) {
        chinese += c;
    }
    m.setText(chinese);
    EXPECT_LE(m.storedBytes(), 2 * chinese.size() + chinese.size() / 50);
    EXPECT_EQ(m.text(), chinese);
}

TEST(TextModel, EveryRangeOfABlockReadsBackWithNothingWrittenPastIt) {
    // One block of one byte a unit, read in runs of sixteen: runs with no
    // byte beyond ASCII, with one to four (the first and last unit of a run
    // among them), and a run's last byte before the next run's first.
    std::u16string text;
    std::mt19937 rng(99);
    const char16_t others[] = {u'\u00E9', u'\u20AC', u'\u201C', u'\u00FF', u'\u4E2D'};
    while (text.size() < 400) {
        const std::size_t run = rng() % 3 == 0 ? rng() % 40 : rng() % 6;
        for (std::size_t k = 0; k < run; ++k) {
            text += static_cast<char16_t>(u'a' + (text.size() % 26));
        }
        for (std::size_t k = 1 + rng() % 3; k > 0; --k) {
            text += others[rng() % std::size(others)];
        }
    }
    TextModel m;
    m.setText(text);
    ASSERT_LT(m.storedBytes(), text.size() + 64) << "one byte a unit";
    constexpr char16_t kCanary = u'\uFFFE';
    for (std::size_t from = 0; from < 40; ++from) {
        for (std::size_t count = 0; from + count <= text.size(); count += count < 100 ? 1 : 37) {
            std::u16string out(count + 8, kCanary);
            ASSERT_EQ(m.copy(from, count, out.data()), count);
            ASSERT_EQ(out.substr(0, count), text.substr(from, count))
                << "from " << from << ", " << count << " units";
            ASSERT_EQ(out.substr(count), std::u16string(8, kCanary))
                << "from " << from << ", " << count << " units";
        }
    }
}
