#include "tools/vprinter/terminal_roll.h"

#include <gtest/gtest.h>
#include <sstream>

namespace vprinter {
namespace {

Line line_of(const std::u32string& text, CharFormat format = {}, bool upside_down = false) {
    Line line;
    line.runs.push_back(Run{text, format});
    line.format = format;
    line.upside_down = upside_down;
    return line;
}

std::string plain(const Line& line) {
    std::ostringstream out;
    TerminalRoll(out, false).print(line);
    return out.str();
}

std::string paper(const std::string& text, int pad_left = 0) {
    // The text between the two edges, padded to the 48 columns of the paper;
    // `text` is ASCII here.
    return "|" + std::string(static_cast<std::size_t>(pad_left), ' ') + text +
           std::string(48 - text.size() - static_cast<std::size_t>(pad_left), ' ') + "|";
}

TEST(TerminalRoll, WidthRepeatsCharactersAndHeightRepeatsTheRow) {
    EXPECT_EQ(plain(line_of(U"AB", {2, 3, false, false})),
              paper("AABB") + "\n" + paper("AABB") + "\n" + paper("AABB") + "\n");
}

TEST(TerminalRoll, UnderlineIsARowOfMarksUnderTheUnderlinedText) {
    Line line;
    line.runs = {vprinter::Run{U"ab", {1, 1, true, false}}, vprinter::Run{U"cd", {}}};
    line.format = line.runs[0].format;
    EXPECT_EQ(plain(line), paper("abcd") + "\n|\u203E\u203E" + std::string(46, ' ') + "|\n");
}

TEST(TerminalRoll, UpsideDownRowsAreTurnedAndPushedToTheRightEdge) {
    EXPECT_EQ(plain(line_of(U"HOH!", {}, true)),
              "|" + std::string(44, ' ') + "\u00A1HOH| [upside down]\n");
    std::string turned = plain(line_of(U"dab", {}, true));
    EXPECT_NE(turned.find("q\u0250p|"), std::string::npos) << turned;
}

TEST(TerminalRoll, LongLinesWrapLikeThePaper) {
    std::string out = plain(line_of(std::u32string(50, U'x')));
    EXPECT_EQ(out, paper(std::string(48, 'x')) + "\n" + paper("xx") + "\n");
}

TEST(TerminalRoll, WhiteIsTaggedInPlainTextAndReversedOnATerminal) {
    EXPECT_EQ(plain(line_of(U"W", {1, 1, false, true})), paper("W") + " [white on black]\n");
    std::ostringstream out;
    TerminalRoll(out, true).print(line_of(U"W", {1, 1, true, true}));
    EXPECT_EQ(out.str(), "\u2502\x1b[7m\x1b[4mW\x1b[0m" + std::string(47, ' ') + "\u2502\n");
}

TEST(TerminalRoll, EmptyLinesFeedTheirHeight) {
    Line empty;
    empty.format.height = 2;
    EXPECT_EQ(plain(empty), paper("") + "\n" + paper("") + "\n");
}

TEST(TerminalRoll, DecoderEventsBecomeShortNotes) {
    std::ostringstream out;
    TerminalRoll roll(out, false);
    roll.show(UnknownBytes{12, {0x07}, "control byte"});
    roll.show(Initialised{4});
    EXPECT_EQ(out.str(), "! not understood: 07 at byte 12 (control byte)\n"
                         "\u00B7 initialise (ESC @) at byte 4\n");
}

} // namespace
} // namespace vprinter
