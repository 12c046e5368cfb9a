// Real folders: what the dialog lists for them, and what a typed name means
// in them.
#include "platform/comdlg32/folder_listing.h"
#include "platform/comdlg32/typed_name.h"
#include "tests/support/temp_folder.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

using namespace comdlg32;
using testing_support::TempFolder;
using Kind = TypedName::Kind;

namespace {

std::vector<std::u16string> Shown(const FolderContents& c) {
    std::vector<std::u16string> out;
    for (const auto& e : c.entries) {
        out.push_back(e.shown);
    }
    return out;
}

using Names = std::vector<std::u16string>;

class FolderListing : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* f : {"notes.txt", "b.TXT", "Zeta.txt", "alpha.TXT", "README", "data.bin",
                              ".hidden.txt", "letters/a.txt"}) {
            tmp.file(f);
        }
        tmp.folder("Archive");
        tmp.folder("zz.txt"); // a folder whose name looks like a text file
        tmp.folder(".cache");
    }
    TempFolder tmp{"filedialog"};
};

TEST_F(FolderListing, ParentThenFoldersThenMatchingFilesEachSortedIgnoringCase) {
    const FolderContents c = ListFolder(tmp.path(), {u"*.TXT"});
    EXPECT_FALSE(c.error);
    EXPECT_EQ(Shown(c), (Names{u"../", u"Archive/", u"letters/", u"zz.txt/", u"alpha.TXT", u"b.TXT",
                               u"notes.txt", u"Zeta.txt"}));
    EXPECT_TRUE(c.entries[1].folder);
    EXPECT_FALSE(c.entries[4].folder);
    EXPECT_EQ(c.entries[1].name, "Archive"); // the name itself, without the folder mark
}

TEST_F(FolderListing, EveryFileWithTheAllFilesPatternOrNone) {
    const Names all{u"../",   u"Archive/", u"letters/",  u"zz.txt/", u"alpha.TXT",
                    u"b.TXT", u"data.bin", u"notes.txt", u"README",  u"Zeta.txt"};
    EXPECT_EQ(Shown(ListFolder(tmp.path(), {u"*.*"})), all);
    EXPECT_EQ(Shown(ListFolder(tmp.path(), {})), all);
    EXPECT_EQ(Shown(ListFolder(tmp.path(), {u"*.bin", u"READ*"})),
              (Names{u"../", u"Archive/", u"letters/", u"zz.txt/", u"data.bin", u"README"}));
}

TEST_F(FolderListing, LinksAreListedAsWhatTheyPointTo) {
    namespace fs = std::filesystem;
    fs::create_directory_symlink(fs::path(tmp.path()) / "letters", fs::path(tmp.path()) / "mail");
    fs::create_symlink(fs::path(tmp.path()) / "nowhere", fs::path(tmp.path()) / "broken.txt");
    const Names shown = Shown(ListFolder(tmp.path(), {u"*.TXT"}));
    EXPECT_EQ(shown, (Names{u"../", u"Archive/", u"letters/", u"mail/", u"zz.txt/", u"alpha.TXT",
                            u"b.TXT", u"broken.txt", u"notes.txt", u"Zeta.txt"}));
}

TEST_F(FolderListing, TheRootHasNoParentAndAMissingFolderIsAnError) {
    const FolderContents root = ListFolder("/", {});
    ASSERT_FALSE(root.error);
    ASSERT_FALSE(root.entries.empty());
    EXPECT_NE(root.entries.front().name, "..");

    const FolderContents missing = ListFolder(tmp.path() + "/no such folder", {});
    EXPECT_TRUE(missing.error);
    EXPECT_TRUE(missing.entries.empty());
    const FolderContents file = ListFolder(tmp.path() + "/notes.txt", {});
    EXPECT_TRUE(file.error);
}

class TypedNames : public ::testing::Test {
protected:
    void SetUp() override {
        tmp.file("notes.txt");
        tmp.file("report.log");
        tmp.file("plain");
        tmp.file("Dup.txt");
        tmp.file("DUP.TXT");
        tmp.file("letters/a.txt");
        tmp.file("my file.txt");
        root = tmp.path();
    }
    TypedName Typed(std::u16string_view typed, TypedNameRules rules = {u"*.TXT"}) const {
        return InterpretTypedName(root, typed, rules);
    }
    TempFolder tmp{"filedialog"};
    std::string root;
};

TEST_F(TypedNames, WhatATypedNameAsksFor) {
    struct Case {
        const char16_t* typed;
        Kind kind;
        std::string path; // relative to the folder shown; "" for none
        const char16_t* pattern = u"";
    };
    const Case cases[] = {
        {u"", Kind::Nothing, ""},
        {u"   ", Kind::Nothing, ""},
        {u"notes.txt", Kind::File, "/notes.txt"},
        {u"  notes.txt  ", Kind::File, "/notes.txt"},
        {u"\"my file.txt\"", Kind::File, "/my file.txt"},
        {u"letters", Kind::Folder, "/letters"},
        {u"letters/", Kind::Folder, "/letters"},
        {u"letters/../letters/a.txt", Kind::File, "/letters/a.txt"},
        {u"nowhere/", Kind::MissingFolder, "/nowhere"},
        // The default extension, for a name that has none and does not exist.
        {u"plain", Kind::File, "/plain"},
        {u"brand-new", Kind::File, "/brand-new.TXT"},
        {u"brand-new.log", Kind::File, "/brand-new.log"},
        // Case ignored where the exact name is missing and only one entry fits.
        {u"notes", Kind::File, "/notes.txt"},
        {u"NOTES.TXT", Kind::File, "/notes.txt"},
        {u"LETTERS", Kind::Folder, "/letters"},
        {u"dup.txt", Kind::File, "/dup.txt"}, // two candidates: taken as typed
        // Patterns list the folder before them.
        {u"*.log", Kind::Pattern, "", u"*.log"},
        {u"letters/*.t?t", Kind::Pattern, "/letters", u"*.t?t"},
        {u"nowhere/*.c", Kind::MissingFolder, "/nowhere"},
    };
    for (const Case& c : cases) {
        const TypedName t = Typed(c.typed);
        const std::string typed =
            std::string(c.typed, c.typed + std::char_traits<char16_t>::length(c.typed));
        EXPECT_EQ(t.kind, c.kind) << typed;
        if (c.kind != Kind::Nothing) {
            EXPECT_EQ(t.path, root + c.path) << typed;
        }
        EXPECT_EQ(t.pattern, c.pattern) << typed;
    }
}

TEST_F(TypedNames, TheHomeFolder) {
    const char* saved = std::getenv("HOME");
    const std::string savedHome = saved != nullptr ? saved : "";
    ::setenv("HOME", root.c_str(), 1);
    const TypedName home = InterpretTypedName("/", u"~/letters", {});
    const TypedName tilde = InterpretTypedName("/", u"~", {});
    saved != nullptr ? ::setenv("HOME", savedHome.c_str(), 1) : ::unsetenv("HOME");
    EXPECT_EQ(home.kind, Kind::Folder);
    EXPECT_EQ(home.path, root + "/letters");
    EXPECT_EQ(tilde.path, root);
}

TEST_F(TypedNames, NamesThatMustExist) {
    TypedNameRules fileMustExist{u"*.TXT", true, false};
    EXPECT_EQ(Typed(u"brand-new", fileMustExist).kind, Kind::MissingFile);
    EXPECT_EQ(Typed(u"brand-new", fileMustExist).path, root + "/brand-new.TXT");
    EXPECT_EQ(Typed(u"notes", fileMustExist).kind, Kind::File);
    EXPECT_EQ(Typed(u"nowhere/x.txt", fileMustExist).kind, Kind::MissingFolder);

    TypedNameRules pathMustExist{u"", false, true};
    EXPECT_EQ(Typed(u"brand-new", pathMustExist).kind, Kind::File);
    EXPECT_EQ(Typed(u"brand-new", pathMustExist).path, root + "/brand-new");
    const TypedName missing = Typed(u"nowhere/x.txt", pathMustExist);
    EXPECT_EQ(missing.kind, Kind::MissingFolder);
    EXPECT_EQ(missing.path, root + "/nowhere");
}

} // namespace
