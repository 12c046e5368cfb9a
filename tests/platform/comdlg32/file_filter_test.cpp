// Filter lists as callers pass them, and names matched against patterns the
// way the original platform's file system matches them: ignoring case.
#include "platform/comdlg32/file_filter.h"
#include "platform/comdlg32/typed_name.h"

#include <gtest/gtest.h>

using namespace comdlg32;

namespace {

using Patterns = std::vector<std::u16string>;

TEST(FilterList, TheLoadersFilterGivesItsTwoFiltersInOrder) {
    // As the framework hands it over: '|' made zeros, ended by an empty string.
    const char16_t list[] = u"TEXT Files (*.TXT)\0*.TXT\0All Files (*.*)\0*.*\0";
    const auto filters = ParseFilterList(list);
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0].description, u"TEXT Files (*.TXT)");
    EXPECT_EQ(filters[0].patterns, Patterns{u"*.TXT"});
    EXPECT_EQ(filters[1].description, u"All Files (*.*)");
    EXPECT_EQ(filters[1].patterns, Patterns{u"*.*"});
}

TEST(FilterList, OddListsAreReadAsFarAsTheyMakeSense) {
    EXPECT_TRUE(ParseFilterList(nullptr).empty());
    EXPECT_TRUE(ParseFilterList(u"").empty());
    // A description whose patterns are missing ends the list there.
    const char16_t dangling[] = u"Logs\0*.log\0Broken\0";
    const auto filters = ParseFilterList(dangling);
    ASSERT_EQ(filters.size(), 1u);
    EXPECT_EQ(filters[0].description, u"Logs");
    // Several patterns, blanks around them and empty ones dropped.
    EXPECT_EQ(SplitPatterns(u"*.c; *.h ;;*.cpp"), (Patterns{u"*.c", u"*.h", u"*.cpp"}));
    EXPECT_EQ(SplitPatterns(u" ; "), Patterns{});
}

TEST(Pattern, MatchesIgnoringCaseWithStarsAndQuestionMarks) {
    struct Case {
        const char16_t* pattern;
        const char16_t* name;
        bool matches;
    };
    const Case cases[] = {
        {u"*.TXT", u"notes.txt", true},
        {u"*.TXT", u"NOTES.TXT", true},
        {u"*.txt", u"Notes.TxT", true},
        {u"*.TXT", u"notes.txt.bak", false},
        {u"*.TXT", u"notes.txtx", false},
        {u"*.TXT", u"txt", false},
        {u"*.TXT", u".txt", true},
        {u"*.*", u"README", true}, // every file, with or without an extension
        {u"*.*", u"archive.tar.gz", true},
        {u"notes.*", u"notes", true},
        {u"notes.*", u"notebook", false},
        {u"a?c", u"abc", true},
        {u"a?c", u"ac", false},
        {u"a?c", u"abbc", false},
        {u"*a*b", u"xaxxab", true},
        {u"*a*b", u"xaxxba", false},
        {u"*", u"anything at all", true},
        {u"report*2024*.TXT", u"Report-march-2024-final.txt", true},
        {u"*.TXT", u"b\u00E4r.txt", true}, // a name with letters beyond ASCII
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MatchesPattern(c.pattern, c.name), c.matches)
            << std::string(c.pattern, c.pattern + std::char_traits<char16_t>::length(c.pattern))
            << " against a name of " << std::char_traits<char16_t>::length(c.name) << " characters";
    }
}

TEST(Pattern, ManyStarsAgainstALongNameStayCheap) {
    // A naive backtracking matcher takes exponential time here.
    const std::u16string name(4000, u'a');
    EXPECT_FALSE(MatchesPattern(u"*a*a*a*a*a*a*a*a*a*a*b", name));
    EXPECT_TRUE(MatchesPattern(u"*a*a*a*a*a*a*a*a*a*a*", name));
}

TEST(Pattern, AnyOfSeveralAndNoneMeansAll) {
    EXPECT_TRUE(MatchesAny({}, u"whatever.bin"));
    EXPECT_TRUE(MatchesAny({u"*.c", u"*.H"}, u"main.h"));
    EXPECT_FALSE(MatchesAny({u"*.c", u"*.H"}, u"main.cpp"));
}

TEST(DefaultExtension, TheDotAndStarAreDropped) {
    EXPECT_EQ(DefaultExtension(u"*.TXT"), u"TXT");
    EXPECT_EQ(DefaultExtension(u".TXT"), u"TXT");
    EXPECT_EQ(DefaultExtension(u"TXT"), u"TXT");
    EXPECT_EQ(DefaultExtension(u"*.*"), u"");
    EXPECT_EQ(DefaultExtension(u""), u"");
}

TEST(ResolvePath, RelativeAndAbsolutePathsBecomeTidyAbsoluteOnes) {
    struct Case {
        const char* folder;
        const char* typed;
        const char* expected;
    };
    const Case cases[] = {
        {"/home/ann", "notes.txt", "/home/ann/notes.txt"},
        {"/home/ann", "docs/../notes.txt", "/home/ann/notes.txt"},
        {"/home/ann", "./docs//a.txt", "/home/ann/docs/a.txt"},
        {"/home/ann", "..", "/home"},
        {"/home/ann", "../../../..", "/"},
        {"/home/ann", "/etc/hosts", "/etc/hosts"},
        {"/home/ann", "//srv///data/", "/srv/data"},
        {"/", "..", "/"},
        {"/", "tmp", "/tmp"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ResolvePath(c.folder, c.typed), c.expected) << c.folder << " + " << c.typed;
    }
}

} // namespace
