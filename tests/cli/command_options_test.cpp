// How the command's words are read: GNU-style options in any order with the
// files, each value in the forms users write it, and what is refused.
#include "cli/command_options.h"

#include <gtest/gtest.h>

namespace {

std::vector<CommandText> Words(std::initializer_list<const char16_t*> words) {
    std::vector<CommandText> out;
    for (const char16_t* w : words) {
        out.emplace_back(w);
    }
    return out;
}

TEST(CommandOptions, TheFormsDefaultsWithNoOption) {
    const ParsedCommand c = ParseCommand(Words({u"print"}));
    ASSERT_FALSE(c.error);
    EXPECT_EQ(c.choices.nPort, 3);
    EXPECT_EQ(c.choices.nModel, 0);
    EXPECT_EQ(c.choices.nWidth, 0);
    EXPECT_EQ(c.choices.nHeight, 0);
    EXPECT_FALSE(c.choices.bUnderline || c.choices.bDirection || c.choices.bWhite);
    EXPECT_FALSE(c.choices.output);
    EXPECT_TRUE(c.choices.files.empty());
}

TEST(CommandOptions, ShortLongBundledAndAttachedValuesMeanTheSame) {
    const std::vector<std::vector<CommandText>> spellings = {
        Words({u"print", u"-c", u"5", u"-p", u"sovak", u"-w", u"2", u"-H", u"x4", u"-u", u"-W"}),
        Words({u"print", u"--com=COM5", u"--printer", u"SOVAK", u"--width=x2", u"--height", u"4",
               u"--underline", u"--white"}),
        Words({u"print", u"-uWc5", u"-psovak", u"-w2", u"-Hx4"}),
        Words({u"print", u"--com", u"com5:", u"--print=Sovak", u"--wid", u"2", u"-H4", u"-uW"}),
    };
    for (const auto& words : spellings) {
        const ParsedCommand c = ParseCommand(words);
        ASSERT_FALSE(c.error) << std::string(c.error->begin(), c.error->end());
        EXPECT_EQ(c.choices.nPort, 5);
        EXPECT_EQ(c.choices.nModel, 2);
        EXPECT_EQ(c.choices.nWidth, 1);
        EXPECT_EQ(c.choices.nHeight, 3);
        EXPECT_TRUE(c.choices.bUnderline);
        EXPECT_FALSE(c.choices.bDirection);
        EXPECT_TRUE(c.choices.bWhite);
    }
}

TEST(CommandOptions, FilesAndOptionsInAnyOrderAndTheEndOfOptions) {
    const ParsedCommand c =
        ParseCommand(Words({u"print", u"a.txt", u"-d", u"-", u"-o", u"-", u"--", u"-q", u"b"}));
    ASSERT_FALSE(c.error);
    EXPECT_TRUE(c.choices.bDirection);
    EXPECT_FALSE(c.choices.bQuiet) << "after --, -q is a file";
    ASSERT_TRUE(c.choices.output);
    EXPECT_EQ(*c.choices.output, u"-");
    EXPECT_EQ(c.choices.files, Words({u"a.txt", u"-", u"-q", u"b"}));
}

TEST(CommandOptions, WhatIsRefused) {
    const std::vector<std::vector<CommandText>> refused = {
        Words({u"print", u"-c", u"0"}),  Words({u"print", u"-c", u"10"}),
        Words({u"print", u"--com=COM"}), Words({u"print", u"-w", u"5"}),
        Words({u"print", u"-H", u"x0"}), Words({u"print", u"-p", u"Qelv"}),
        Words({u"print", u"-x"}),        Words({u"print", u"--colour"}),
        Words({u"print", u"-c"}),        Words({u"print", u"--underline=1"}),
        Words({u"print", u"-o", u""}),   Words({u"test", u"-u"}),
        Words({u"test", u"page.txt"}),   Words({u"print", u"--w", u"2"}) /* width, white */,
    };
    for (const auto& words : refused) {
        EXPECT_TRUE(ParseCommand(words).error)
            << std::string(words.back().begin(), words.back().end());
    }
}

TEST(CommandOptions, TestTakesThePortAndHelpIsAsked) {
    const ParsedCommand c = ParseCommand(Words({u"test", u"--com", u"COM2", u"-q"}));
    ASSERT_FALSE(c.error);
    EXPECT_EQ(c.kind, CommandKind::Test);
    EXPECT_EQ(c.choices.nPort, 2);
    EXPECT_TRUE(ParseCommand(Words({u"print", u"file", u"--help"})).bHelp);
}

} // namespace
