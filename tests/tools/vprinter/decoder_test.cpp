#include "tests/tools/vprinter/decode_helpers.h"

#include <gtest/gtest.h>

namespace vprinter::test {
namespace {

struct Expected {
    std::string text;
    int width = 1;
    int height = 1;
    bool underline = false;
    bool upside_down = false;
    bool white = false;
};

void expect_line(const Line& line, const Expected& e) {
    EXPECT_EQ(utf8(line.text()), e.text);
    const CharFormat& f = line.leading_format();
    EXPECT_EQ(f.width, e.width) << e.text;
    EXPECT_EQ(f.height, e.height) << e.text;
    EXPECT_EQ(f.underline, e.underline) << e.text;
    EXPECT_EQ(line.upside_down, e.upside_down) << e.text;
    EXPECT_EQ(f.white, e.white) << e.text;
}

// A Print job as Tallyroll sends it: lead-in, a block, text, line end, two zeros.
Bytes print_job(const Bytes& block, const std::string& text) {
    return bytes({0, 0}) + block + ascii(text + "\r\n") + bytes({0, 0});
}

struct BlockCase {
    const char* name;
    Bytes block;
    std::optional<CommandSet> model; // also decoded without a model
    CommandSet set;
    Expected line;
    int warnings;
};

class FormatBlocks : public ::testing::TestWithParam<BlockCase> {};

TEST_P(FormatBlocks, PrintTheTextInTheBlocksFormat) {
    const BlockCase& c = GetParam();
    for (std::optional<CommandSet> model : {std::optional<CommandSet>{}, c.model}) {
        auto events = decode(print_job(c.block, c.line.text), model);
        auto blocks = only<FormatBlockSeen>(events);
        ASSERT_EQ(blocks.size(), 1u);
        EXPECT_EQ(blocks[0].set, c.set);
        EXPECT_EQ(blocks[0].offset, 2u);
        EXPECT_TRUE(std::equal(c.block.begin(), c.block.end(), blocks[0].bytes.begin()));
        auto lines = lines_of(events);
        ASSERT_EQ(lines.size(), 1u);
        expect_line(lines[0], c.line);
        EXPECT_EQ(lines[0].offset, 18u);
        EXPECT_EQ(only<ValueWarning>(events).size(), static_cast<std::size_t>(c.warnings));
        EXPECT_TRUE(only<UnknownBytes>(events).empty());
        EXPECT_TRUE(only<StreamCut>(events).empty());
        EXPECT_TRUE(only<CommandApplied>(events).empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    AllSets, FormatBlocks,
    ::testing::Values(BlockCase{"print_example_x2_underline",
                                bytes({0x00, 0x1B, 0x55, 0x02, 0x1B, 0x56, 0x01, 0x1B, 0x2D, 0x01,
                                       0x1B, 0x63, 0x00, 0x1B, 0x69, 0x00}),
                                CommandSet::A,
                                CommandSet::A,
                                {"AB", 2, 1, true, false, false},
                                0},
                      BlockCase{"set_a_x4_underline_upside_down",
                                bytes({0x00, 0x1B, 0x55, 0x04, 0x1B, 0x56, 0x01, 0x1B, 0x2D, 0x01,
                                       0x1B, 0x63, 0x01, 0x1B, 0x69, 0x00}),
                                CommandSet::A,
                                CommandSet::A,
                                {"AB", 4, 1, true, true, false},
                                0},
                      BlockCase{"set_b_direction_sent_as_2",
                                bytes({0x00, 0x1D, 0x21, 0x12, 0x1D, 0x21, 0x12, 0x1B, 0x2D, 0x00,
                                       0x1B, 0x56, 0x02, 0x1D, 0x42, 0x01}),
                                CommandSet::B,
                                CommandSet::B,
                                {"AB", 2, 3, false, true, true},
                                0},
                      BlockCase{"set_c_plain_direction",
                                bytes({0x00, 0x1D, 0x21, 0x12, 0x1D, 0x21, 0x12, 0x1B, 0x2D, 0x00,
                                       0x1B, 0x7B, 0x01, 0x1D, 0x42, 0x01}),
                                CommandSet::C,
                                CommandSet::C,
                                {"AB", 2, 3, false, true, true},
                                0},
                      BlockCase{"set_a_all_x4_white",
                                bytes({0x00, 0x1B, 0x55, 0x04, 0x1B, 0x56, 0x04, 0x1B, 0x2D, 0x00,
                                       0x1B, 0x63, 0x00, 0x1B, 0x69, 0x01}),
                                CommandSet::A,
                                CommandSet::A,
                                {"AB", 4, 4, false, false, true},
                                0},
                      // No width selected: set A sends 0, sets B and C the low byte of -16 + h.
                      BlockCase{"set_a_no_width_selected",
                                bytes({0x00, 0x1B, 0x55, 0x00, 0x1B, 0x56, 0x01, 0x1B, 0x2D, 0x00,
                                       0x1B, 0x63, 0x00, 0x1B, 0x69, 0x00}),
                                CommandSet::A,
                                CommandSet::A,
                                {"AB", 1, 1, false, false, false},
                                1},
                      BlockCase{"set_b_no_width_selected",
                                bytes({0x00, 0x1D, 0x21, 0xF0, 0x1D, 0x21, 0xF0, 0x1B, 0x2D, 0x00,
                                       0x1B, 0x56, 0x00, 0x1D, 0x42, 0x00}),
                                CommandSet::B,
                                CommandSet::B,
                                {"AB", 4, 1, false, false, false},
                                2},
                      BlockCase{"set_c_no_height_selected",
                                bytes({0x00, 0x1D, 0x21, 0x0F, 0x1D, 0x21, 0x0F, 0x1B, 0x2D, 0x00,
                                       0x1B, 0x7B, 0x00, 0x1D, 0x42, 0x00}),
                                CommandSet::C,
                                CommandSet::C,
                                {"AB", 1, 4, false, false, false},
                                2}),
    [](const auto& test_info) { return std::string(test_info.param.name); });

TEST(PrintJob, WithoutABlockPrintsInTheCurrentFormat) {
    auto events = decode(bytes({0, 0, 0x41, 0x42, 0x0D, 0x0A, 0, 0}));
    EXPECT_TRUE(only<FormatBlockSeen>(events).empty());
    auto lines = lines_of(events);
    ASSERT_EQ(lines.size(), 1u);
    expect_line(lines[0], {"AB"});
    EXPECT_EQ(lines[0].offset, 2u);
}

TEST(PrintJob, AnEmptyTextBoxFeedsOneEmptyLine) {
    auto events = decode(print_job(bytes({0x00, 0x1B, 0x55, 0x01, 0x1B, 0x56, 0x03, 0x1B, 0x2D,
                                          0x00, 0x1B, 0x63, 0x00, 0x1B, 0x69, 0x00}),
                                   ""));
    auto lines = lines_of(events);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0].empty());
    EXPECT_EQ(lines[0].format.height, 3);
    EXPECT_TRUE(lines[0].terminated);
}

TEST(PrintJob, SeveralLinesKeepTheFormatAndTheirOrder) {
    auto events = decode(print_job(bytes({0x00, 0x1D, 0x21, 0x30, 0x1D, 0x21, 0x30, 0x1B, 0x2D,
                                          0x01, 0x1B, 0x7B, 0x00, 0x1D, 0x42, 0x00}),
                                   "one\r\ntwo\r\n\r\nfour"));
    auto lines = lines_of(events);
    ASSERT_EQ(lines.size(), 4u);
    expect_line(lines[0], {"one", 4, 1, true});
    expect_line(lines[1], {"two", 4, 1, true});
    EXPECT_TRUE(lines[2].empty());
    expect_line(lines[3], {"four", 4, 1, true});
}

TEST(TestPage, PrintsItsExactLinesInTheDefaultFormat) {
    auto events = decode(test_job());
    auto inits = only<Initialised>(events);
    ASSERT_EQ(inits.size(), 1u);
    EXPECT_EQ(inits[0].offset, 6u);
    std::vector<std::string> texts;
    for (const Line& line : lines_of(events)) {
        texts.push_back(utf8(line.text()));
        EXPECT_EQ(line.leading_format(), CharFormat{});
        EXPECT_FALSE(line.upside_down);
        EXPECT_TRUE(line.terminated);
    }
    EXPECT_EQ(texts,
              (std::vector<std::string>{
                  "--Use Help for Printer--", "",
                  "   Make sure your PDA have the  BlueTooth Port or IR Port and can run well", "",
                  "---Here,Test Ok,Thank you---", "", ""}));
    EXPECT_EQ(events.size(), 8u) << "nothing but the reset and the lines";
}

TEST(TestPage, ResetsTheFormatOfAnEarlierPrint) {
    auto events = decode(print_job(bytes({0x00, 0x1B, 0x55, 0x04, 0x1B, 0x56, 0x04, 0x1B, 0x2D,
                                          0x01, 0x1B, 0x63, 0x01, 0x1B, 0x69, 0x01}),
                                   "big") +
                         test_job());
    auto lines = lines_of(events);
    ASSERT_EQ(lines.size(), 8u);
    expect_line(lines[0], {"big", 4, 4, true, true, true});
    expect_line(lines[1], {"--Use Help for Printer--"});
}

// Where a stream is split into reads must not change what it means.
class SplitAnywhere : public ::testing::TestWithParam<std::size_t> {};

TEST_P(SplitAnywhere, GivesTheSameEventsAsTheWholeStream) {
    const Bytes streams[] = {
        print_job_ab() + test_job(),
        bytes({0,    0,    0x00, 0x1D, 0x21, 0x12, 0x1D, 0x21, 0x12, 0x1B, 0x2D, 0x00, 0x1B, 0x7B,
               0x01, 0x1D, 0x42, 0x01, 0xD6, 0xD0, 0x0D, 0x0A, 0x07, 0x1B, 0x78, 0x1B, 0x55}),
    };
    for (const Bytes& stream : streams) {
        for (int codepage : {1252, 936}) {
            EXPECT_EQ(decode(stream, {}, codepage, GetParam()), decode(stream, {}, codepage));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(ChunkSizes, SplitAnywhere, ::testing::Values(1u, 2u, 3u, 5u, 16u));

TEST(CutStream, IsReportedExactlyWhenItEndsInsideTheBlock) {
    const Bytes job = print_job_ab();
    for (std::size_t k = 0; k <= job.size(); ++k) {
        auto events = decode(Bytes(job.begin(), job.begin() + static_cast<long>(k)));
        auto cuts = only<StreamCut>(events);
        bool inside_block = k >= 4 && k <= 17; // bytes 3..17 are the block's commands
        EXPECT_EQ(cuts.size(), inside_block ? 1u : 0u) << "cut after " << k << " bytes";
        auto lines = lines_of(events);
        EXPECT_EQ(lines.size(), k >= 19 ? 1u : 0u) << "cut after " << k << " bytes";
        if (!lines.empty()) {
            EXPECT_EQ(lines[0].terminated, k >= 22);
            expect_line(lines[0], {k == 19 ? "A" : "AB", 2, 1, true});
        }
    }
}

TEST(CutStream, SaysWhatWasCutAndKeepsTheCompleteCommands) {
    auto events = decode(bytes({0, 0, 0x00, 0x1B, 0x55, 0x03, 0x1B, 0x56}));
    auto cuts = only<StreamCut>(events);
    ASSERT_EQ(cuts.size(), 1u);
    EXPECT_EQ(cuts[0].what, "format block");
    EXPECT_EQ(cuts[0].offset, 2u);
    EXPECT_EQ(cuts[0].bytes, bytes({0x00, 0x1B, 0x55, 0x03, 0x1B, 0x56}));
    auto commands = only<CommandApplied>(events);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].name, "width");
    EXPECT_EQ(commands[0].state.format.width, 3);

    cuts = only<StreamCut>(decode(bytes({0x41, 0x1D})));
    ASSERT_EQ(cuts.size(), 1u);
    EXPECT_EQ(cuts[0].what, "command");
    EXPECT_EQ(cuts[0].offset, 1u);

    cuts = only<StreamCut>(decode(bytes({0x41, 0xD6}), {}, 936));
    ASSERT_EQ(cuts.size(), 1u);
    EXPECT_EQ(cuts[0].what, "double-byte character");
    EXPECT_EQ(cuts[0].bytes, bytes({0xD6}));
}

struct UnknownCase {
    const char* name;
    Bytes stream;
    std::optional<CommandSet> model;
    int codepage;
    std::uint64_t offset;
    Bytes reported;
    std::string text; // what still prints
};

class UnknownInput : public ::testing::TestWithParam<UnknownCase> {};

TEST_P(UnknownInput, IsReportedWithItsOffsetAndNotPrinted) {
    const UnknownCase& c = GetParam();
    auto events = decode(c.stream, c.model, c.codepage);
    auto unknown = only<UnknownBytes>(events);
    ASSERT_EQ(unknown.size(), 1u);
    EXPECT_EQ(unknown[0].offset, c.offset);
    EXPECT_EQ(unknown[0].bytes, c.reported);
    EXPECT_FALSE(unknown[0].reason.empty());
    auto lines = lines_of(events);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(utf8(lines[0].text()), c.text);
    EXPECT_TRUE(lines[0].terminated);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, UnknownInput,
    ::testing::Values(
        UnknownCase{"control_byte", ascii("A\aB\n"), {}, 1252, 1, {0x07}, "AB"},
        UnknownCase{"delete",
                    ascii("A\x7f"
                          "B\n"),
                    {},
                    1252,
                    1,
                    {0x7F},
                    "AB"},
        UnknownCase{"unknown_esc", ascii("A\x1bxB\n"), {}, 1252, 1, {0x1B, 'x'}, "AB"},
        UnknownCase{"unknown_gs", ascii("A\x1dwB\n"), {}, 1252, 1, {0x1D, 'w'}, "AB"},
        UnknownCase{
            "esc_before_zero", bytes({0x41, 0x1B, 0x00, 0x42, 0x0A}), {}, 1252, 1, {0x1B}, "AB"},
        UnknownCase{
            "undefined_in_1252", bytes({0x41, 0x81, 0x42, 0x0A}), {}, 1252, 1, {0x81}, "AB"},
        UnknownCase{"unassigned_pair_in_936",
                    bytes({0x41, 0xA2, 0xA0, 0x42, 0x0A}),
                    {},
                    936,
                    1,
                    {0xA2, 0xA0},
                    "AB"},
        UnknownCase{
            "lead_without_trail_in_936", bytes({0x41, 0xD6, 0x0A}), {}, 936, 1, {0xD6}, "A"},
        UnknownCase{"set_a_command_on_a_set_b_printer",
                    bytes({0x41, 0x1B, 0x55, 0x02, 0x42, 0x0A}),
                    CommandSet::B,
                    1252,
                    1,
                    {0x1B, 0x55, 0x02},
                    "AB"},
        UnknownCase{"esc_v_on_a_set_c_printer",
                    bytes({0x41, 0x1B, 0x56, 0x02, 0x42, 0x0A}),
                    CommandSet::C,
                    1252,
                    1,
                    {0x1B, 0x56, 0x02},
                    "AB"},
        UnknownCase{"esc_v_before_any_set_is_known",
                    bytes({0x41, 0x1B, 0x56, 0x02, 0x42, 0x0A}),
                    {},
                    1252,
                    1,
                    {0x1B, 0x56, 0x02},
                    "AB"}),
    [](const auto& test_info) { return std::string(test_info.param.name); });

TEST(UnknownInput, ABlockOfAnotherSetIsNotTakenForAFormat) {
    const Bytes set_b = bytes({0x00, 0x1D, 0x21, 0x12, 0x1D, 0x21, 0x12, 0x1B, 0x2D, 0x01, 0x1B,
                               0x56, 0x02, 0x1D, 0x42, 0x01});
    auto events = decode(print_job(set_b, "AB"), CommandSet::A);
    EXPECT_TRUE(only<FormatBlockSeen>(events).empty());
    EXPECT_EQ(only<UnknownBytes>(events).size(), 3u); // GS !, GS !, GS B
    auto lines = lines_of(events);
    ASSERT_EQ(lines.size(), 1u);
    // ESC - means the same in every set; a set A printer reads ESC V 2 as height.
    expect_line(lines[0], {"AB", 1, 2, true});
}

struct LoneCommandCase {
    const char* name;
    Bytes stream;
    Expected line;
    std::optional<CommandSet> reported_set;
    int warnings;
};

class LoneCommands : public ::testing::TestWithParam<LoneCommandCase> {};

TEST_P(LoneCommands, ChangeTheFormatOfTheTextThatFollows) {
    const LoneCommandCase& c = GetParam();
    auto events = decode(c.stream);
    auto lines = lines_of(events);
    ASSERT_FALSE(lines.empty());
    expect_line(lines.back(), c.line);
    auto commands = only<CommandApplied>(events);
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands.back().set, c.reported_set);
    EXPECT_EQ(only<ValueWarning>(events).size(), static_cast<std::size_t>(c.warnings));
    EXPECT_TRUE(only<UnknownBytes>(events).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Commands, LoneCommands,
    ::testing::Values(
        LoneCommandCase{"esc_v_after_a_set_a_command_is_height",
                        ascii("\x1bU\x01\x1bV\x03x\n"),
                        {"x", 1, 3},
                        CommandSet::A,
                        0},
        LoneCommandCase{"esc_v_after_gs_is_direction",
                        ascii("\x1d!\x11\x1bV\x02x\n"),
                        {"x", 2, 2, false, true},
                        CommandSet::B,
                        0},
        LoneCommandCase{"gs_size_alone_names_no_single_set",
                        ascii("\x1d!\x23x\n"),
                        {"x", 3, 4},
                        std::nullopt,
                        0},
        LoneCommandCase{"esc_brace_is_set_c",
                        ascii("\x1b{\x01x\n"),
                        {"x", 1, 1, false, true},
                        CommandSet::C,
                        0},
        LoneCommandCase{"width_5_is_clamped", ascii("\x1bU\x05x\n"), {"x", 4, 1}, CommandSet::A, 1},
        LoneCommandCase{
            "size_indexes_4_are_clamped", ascii("\x1d!\x44x\n"), {"x", 4, 4}, std::nullopt, 2},
        LoneCommandCase{
            "underline_2_counts_as_on", ascii("\x1b-\x02x\n"), {"x", 1, 1, true}, std::nullopt, 1},
        LoneCommandCase{"set_b_direction_1_counts_as_on",
                        bytes({0x1D, 0x21, 0x00, 0x1B, 0x56, 0x01, 0x78, 0x0A}),
                        {"x", 1, 1, false, true},
                        CommandSet::B,
                        1}),
    [](const auto& test_info) { return std::string(test_info.param.name); });

TEST(Format, ChangesInsideALineMakeRunsAndDirectionIsTakenAtTheLineStart) {
    auto events = decode(ascii("ab\x1bU\x02\x1b"
                               "c\x01"
                               "cd\n"
                               "ef\n"));
    auto lines = lines_of(events);
    ASSERT_EQ(lines.size(), 2u);
    ASSERT_EQ(lines[0].runs.size(), 2u);
    EXPECT_EQ(lines[0].runs[0].text, U"ab");
    EXPECT_EQ(lines[0].runs[0].format.width, 1);
    EXPECT_EQ(lines[0].runs[1].text, U"cd");
    EXPECT_EQ(lines[0].runs[1].format.width, 2);
    EXPECT_FALSE(lines[0].upside_down);
    EXPECT_TRUE(lines[1].upside_down);
}

TEST(Format, InitialiseRestoresDefaultsAndPrintsAWaitingLine) {
    auto events = decode(ascii("\x1bU\x03"
                               "ab\x1b@cd\n"));
    auto lines = lines_of(events);
    ASSERT_EQ(lines.size(), 2u);
    expect_line(lines[0], {"ab", 3});
    EXPECT_FALSE(lines[0].terminated);
    expect_line(lines[1], {"cd"});
}

TEST(Text, TabsAdvanceToTheNextEighthColumnAndCarriageReturnsAreIgnored) {
    auto lines = lines_of(decode(ascii("a\tb\r\n12345678\tx\r\r\n")));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(utf8(lines[0].text()), "a       b");
    EXPECT_EQ(utf8(lines[1].text()), "12345678        x");
}

// However long a line runs without its line feed, the decoder holds at most
// one buffer of it: the rest goes out in pieces, in the line's direction,
// with the tab stops counted from each piece's start.
TEST(Text, ALineLongerThanTheLineBufferIsPrintedInPieces) {
    constexpr std::size_t kFull = Decoder::kLongestLine;
    const Bytes stream = ascii("\x1b"
                               "c\x01") +
                         ascii(std::string(2 * kFull + 3, 'x')) + ascii("\tz\n");
    for (std::size_t chunk : {std::size_t{0}, std::size_t{4096}, std::size_t{7}}) {
        auto events = decode(stream, {}, 1252, chunk);
        auto lines = lines_of(events);
        ASSERT_EQ(lines.size(), 3u) << "in pieces of " << chunk;
        for (std::size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(lines[i].text(), std::u32string(kFull, U'x'));
            EXPECT_FALSE(lines[i].terminated);
            EXPECT_TRUE(lines[i].upside_down);
            EXPECT_EQ(lines[i].offset, 3 + i * kFull);
        }
        EXPECT_EQ(utf8(lines[2].text()), "xxx     z");
        EXPECT_TRUE(lines[2].terminated);
        EXPECT_TRUE(lines[2].upside_down);
        auto warnings = only<ValueWarning>(events);
        ASSERT_EQ(warnings.size(), 2u);
        EXPECT_EQ(warnings[0].offset, 3 + kFull);
        EXPECT_NE(warnings[0].message.find("printed in pieces"), std::string::npos);
    }
}

TEST(Text, IsReadInThePrintersCodePage) {
    auto lines = lines_of(decode(bytes({0xE9, 0x80, 0x9F, 0xFF, 0x0A}), {}, 1252));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].text(), U"\u00E9\u20AC\u0178\u00FF");

    lines = lines_of(decode(bytes({0xD6, 0xD0, 0xCE, 0xC4, 0x80, 0x41, 0x0A}), {}, 936));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].text(), U"\u4E2D\u6587\u20ACA");
}

} // namespace
} // namespace vprinter::test
