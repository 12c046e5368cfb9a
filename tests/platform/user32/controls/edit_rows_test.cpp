// Rows of an edit line: wide characters take two cells and never straddle
// the right edge, the cursor after a full row shows on the next one, and
// lines too long to scan are cut every `width` units.
#include "platform/user32/controls/edit_rows.h"

#include <gtest/gtest.h>

using user32::LineRows;

namespace {

struct Case {
    std::u16string text;
    std::size_t width;
    std::size_t rows;
    std::vector<std::size_t> rowStarts; // of rows 1..
};

} // namespace

TEST(LineRows, RowsAndTheirStarts) {
    const Case cases[] = {
        {u"", 4, 1, {}},
        {u"abc", 4, 1, {}},
        {u"abcd", 4, 2, {4}}, // full row: the cursor after it needs the next
        {u"abcdefghij", 4, 3, {4, 8}},
        {u"\u4E2D\u6587\u5B57", 5, 2, {2}}, // 2 + 2 cells, the third would pass the edge
        {u"a\u4E2D\u6587", 4, 2, {2}},
        {u"abc\U0001F600d", 4, 2, {3}}, // the pair moves whole to the next row
        {u"abce\u0301", 4, 2, {5}},     // the mark stays in its character's row
        {u"\u0301abc", 4, 2, {4}},      // a mark that starts the line takes a cell
    };
    for (const Case& c : cases) {
        const LineRows rows(c.text, c.width);
        EXPECT_EQ(rows.rows(), c.rows) << c.text.size() << " units, width " << c.width;
        for (std::size_t r = 0; r < c.rowStarts.size(); ++r) {
            EXPECT_EQ(rows.rowStart(r + 1), c.rowStarts[r]) << "row " << r + 1;
        }
    }
}

TEST(LineRows, LocateAndBackAgree) {
    const std::u16string text = u"ab\u4E2D\u6587cd\U0001F600efgh\u5B57";
    for (std::size_t width : {3u, 4u, 5u, 7u, 40u}) {
        const LineRows rows(text, width);
        for (std::size_t pos = 0; pos <= text.size(); ++pos) {
            if (pos > 0 && pos < text.size() && text[pos] >= 0xDC00 && text[pos] <= 0xDFFF) {
                continue; // inside a surrogate pair is no cursor position
            }
            const auto place = rows.locate(pos);
            EXPECT_LT(place.x, width) << "pos " << pos << " width " << width;
            EXPECT_EQ(rows.positionAt(place.row, place.x), pos)
                << "pos " << pos << " width " << width;
        }
    }
}

TEST(LineRows, TheCursorAtAWrappedRowsEndStaysBeforeACharactersMarks) {
    const LineRows rows(u"abe\u0301\u0302cd", 3);
    EXPECT_EQ(rows.positionAt(0, 10), 2u) << "before the e, not between it and its marks";
}

TEST(LineRows, AClickPastAWrappedRowStaysOnThatRow) {
    const std::u16string text = u"abcdefgh";
    const LineRows rows(text, 4);
    EXPECT_EQ(rows.positionAt(0, 10), 3u);
    EXPECT_EQ(rows.positionAt(1, 10), 7u);
    EXPECT_EQ(rows.positionAt(2, 10), 8u); // the row after a full last row
}

TEST(LineRows, VeryLongLinesAreCutByUnits) {
    const std::u16string text(LineRows::kScanLimit + 10, u'\u4E2D');
    const LineRows rows(text, 10);
    EXPECT_TRUE(rows.cutByUnits());
    EXPECT_EQ(rows.locate(25).row, 2u);
    EXPECT_EQ(rows.locate(25).x, 5u);
    EXPECT_EQ(rows.rowStart(3), 30u);
}

// The rows found once per line against a walk of the line from its start for
// every position: narrow, wide and paired characters at every width.
TEST(LineRows, RowsFoundOnceAgreeWithAWalkFromTheStart) {
    const std::u16string pieces[] = {u"a", u"b", u"\u4E2D", u"\U0001F600", u"\u00E9", u"\r"};
    std::uint32_t state = 7;
    const auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    for (int round = 0; round < 300; ++round) {
        std::u16string line;
        const std::size_t count = next() % 30;
        for (std::size_t i = 0; i < count; ++i) {
            line += pieces[next() % std::size(pieces)];
        }
        const std::size_t width = 1 + next() % 8;
        const LineRows rows(line, width);
        // The walk: a character that would pass the edge starts the next
        // row; the cursor after the last character needs a cell too.
        std::size_t row = 0, x = 0;
        for (std::size_t i = 0; i <= line.size(); ++i) {
            const std::size_t w = i == line.size() ? 1 : user32::UnitCells(line, i);
            if (x > 0 && x + w > width) {
                ++row;
                x = 0;
                if (i < line.size()) {
                    EXPECT_EQ(rows.rowStart(row), i) << "round " << round;
                }
            }
            EXPECT_EQ(rows.locate(i).row, row) << "round " << round << " pos " << i;
            EXPECT_EQ(rows.locate(i).x, x) << "round " << round << " pos " << i;
            x += w;
        }
        EXPECT_EQ(rows.rows(), row + 1) << "round " << round;
    }
}
