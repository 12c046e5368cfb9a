// The open-file dialog driven on the headless screen, as a user drives it:
// keys and clicks in, the answer and the screen out.
#include "platform/afx/file_dialog.h"
#include "platform/comdlg32/open_file_dialog.h"
#include "platform/win32/user.h"
#include "tests/platform/comdlg32/dialog_driver.h"
#include "tests/support/temp_folder.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace filedialog_test;
using screen::Key;
using testing_support::TempFolder;
using Rows = std::vector<std::string>;

namespace {

class OpenDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        Screen().reset(80, 24);
        for (const char* f : {"notes.txt", "b.TXT", "README", "data.bin", "trace.log",
                              "letters/a.txt", "letters/b.log"}) {
            tmp.file(f);
        }
        root = tmp.path();
    }
    TempFolder tmp{"filedialog"};
    std::string root;
};

TEST_F(OpenDialogTest, LooksLikeTheOtherDialogs) {
    Rows shown;
    Screen().then([&](auto& s) {
        for (int y = 2; y < 22; ++y) {
            std::string row = Trimmed(y);
            // The folder's name is made up for each run.
            const auto at = row.find(root);
            if (at != std::string::npos) {
                row.replace(at, root.size(), "/tmp/filedialog-XXXXXX");
            }
            shown.push_back(row);
        }
        s.key(Key::Escape);
    });
    OpenCall call(root);
    EXPECT_FALSE(call.run());
    EXPECT_EQ(shown,
              (Rows{
                  "     ┌ Open ──────────────────────────────────────────────────────────────┐",
                  "     │                                                                    │",
                  "     │ Look in: /tmp/filedialog-XXXXXX                                    │",
                  "     │ ┌────────────────────────────────────────────────────────────────┐ │",
                  "     │ │../                                                             │ │",
                  "     │ │letters/                                                        │ │",
                  "     │ │b.TXT                                                           │ │",
                  "     │ │notes.txt                                                       │ │",
                  "     │ │                                                                │ │",
                  "     │ │                                                                │ │",
                  "     │ │                                                                │ │",
                  "     │ │                                                                │ │",
                  "     │ │                                                                │ │",
                  "     │ │                                                                │ │",
                  "     │ └────────────────────────────────────────────────────────────────┘ │",
                  "     │                                                                    │",
                  "     │ File name:                                              [» OK «]   │",
                  "     │ Files of type:  TEXT Files (*.TXT)                  ▼  [ Cancel ]  │",
                  "     │                                                                    │",
                  "     └────────────────────────────────────────────────────────────────────┘",
              }));
}

// A name written with a combining accent (as macOS writes names) shows in
// the list with the accent on its letter, the frame after it in its place.
TEST_F(OpenDialogTest, ANameWithACombiningMarkShowsJoinedInTheList) {
    tmp.file("Cafe\xCC\x81.txt");
    std::string parentRow, nameRow;
    Screen().then([&](auto& s) {
        for (int y = 0; y < 24; ++y) {
            const std::string row = s.row(y);
            if (row.find("../") != std::string::npos) {
                parentRow = row;
            }
            if (row.find("Cafe") != std::string::npos) {
                nameRow = row;
            }
        }
        s.key(Key::Escape);
    });
    OpenCall call(root);
    EXPECT_FALSE(call.run());
    std::string expected = parentRow;
    const auto at = expected.find("../     ");
    ASSERT_NE(at, std::string::npos) << parentRow;
    expected.replace(at, 8, "Cafe\xCC\x81.txt");
    EXPECT_EQ(nameRow, expected);
}

TEST_F(OpenDialogTest, TheFiltersAreShownInOrderAndPickingOneRelistsTheFolder) {
    std::string firstRow, secondRow;
    Rows textFiles, allFiles;
    Screen().then([&](auto& s) {
        textFiles = ListShown();
        s.ch(U't', false, true); // Alt+T: the file types
        s.key(Key::F4);
    });
    Screen().then([&](auto& s) {
        int x = 0, y = 0;
        ASSERT_TRUE(s.find("TEXT Files (*.TXT)", x, y));
        // The field shows the choice; the open list holds the filters below it.
        firstRow = s.region(x + 1, y + 1, 18, 1) + "|" + s.region(x + 1, y + 2, 18, 1);
        s.key(Key::Down);
        s.key(Key::Enter);
    });
    Screen().then([&](auto& s) {
        allFiles = ListShown();
        s.ch(U'n', false, true); // Alt+N: the name field
        s.type("notes.txt");
        s.key(Key::Enter);
    });
    OpenCall call(root);
    ASSERT_TRUE(call.run());
    EXPECT_EQ(firstRow, "TEXT Files (*.TXT)|All Files (*.*)   ");
    EXPECT_EQ(textFiles, (Rows{"../", "letters/", "b.TXT", "notes.txt"}));
    EXPECT_EQ(allFiles,
              (Rows{"../", "letters/", "b.TXT", "data.bin", "notes.txt", "README", "trace.log"}));
    EXPECT_EQ(call.ofn.nFilterIndex, 2u);
}

TEST_F(OpenDialogTest, WalkingIntoAFolderBackUpAndChoosingWithTheKeyboard) {
    std::string inside, outside, selectedAfter;
    Rows insideList;
    Screen().then([](auto& s) {
        s.ch(U'l', false, true); // Alt+L: the list
        s.ch(U'l');              // the first entry starting with l
        s.key(Key::Enter);
    });
    Screen().then([&](auto& s) {
        inside = LookIn();
        insideList = ListShown();
        s.key(Key::Home); // "../"
        s.key(Key::Enter);
    });
    Screen().then([&](auto& s) {
        outside = LookIn();
        selectedAfter = ListSelection();
        s.key(Key::End); // the last file
        s.key(Key::Enter);
    });
    OpenCall call(root);
    ASSERT_TRUE(call.run());
    EXPECT_EQ(call.path(), root + "/notes.txt");
    EXPECT_EQ(inside, root + "/letters");
    EXPECT_EQ(insideList, (Rows{"../", "a.txt"}));
    EXPECT_EQ(outside, root);
    EXPECT_EQ(selectedAfter, "letters/"); // where we came from
}

TEST_F(OpenDialogTest, DoubleClicksOpenFoldersAndChooseFiles) {
    std::string field, fieldInFolder;
    Screen().then([](auto& s) {
        int x = 0, y = 0;
        ASSERT_TRUE(s.find("notes.txt", x, y));
        s.click(x, y); // its name goes to the field, but belongs to this folder
        DoubleClickEntry(s, "letters/");
    });
    Screen().then([&](auto& s) {
        fieldInFolder = NameField();
        int x = 0, y = 0;
        ASSERT_TRUE(s.find("a.txt", x, y));
        s.click(x, y);
    });
    Screen().then([&](auto& s) {
        field = NameField();
        DoubleClickEntry(s, "a.txt");
    });
    OpenCall call(root);
    ASSERT_TRUE(call.run());
    EXPECT_EQ(fieldInFolder, "");
    EXPECT_EQ(field, "a.txt");
    EXPECT_EQ(call.path(), root + "/letters/a.txt");
}

TEST_F(OpenDialogTest, OkAnswersTheFullPathWithItsOffsets) {
    Screen().then([](auto& s) {
        s.type("notes.txt");
        int x = 0, y = 0;
        ASSERT_TRUE(s.find("» OK «", x, y));
        s.click(x + 2, y);
    });
    OpenCall call(root);
    ASSERT_TRUE(call.run());
    const std::string expected = root + "/notes.txt";
    EXPECT_EQ(call.path(), expected);
    EXPECT_EQ(call.ofn.nFileOffset, root.size() + 1);
    EXPECT_EQ(call.ofn.nFileExtension, expected.size() - 3);
    EXPECT_EQ(call.ofn.nFilterIndex, 1u);
    EXPECT_TRUE(call.guardIntact());
}

// One run of the dialog with a name typed into the field and Enter.
struct TypedRun {
    const char* typed; // "<root>" stands for the test's folder
    const char* answer;
    const char* why;
};

class TypedNameTest : public OpenDialogTest, public ::testing::WithParamInterface<TypedRun> {};

TEST_P(TypedNameTest, TheTypedNameIsAnsweredAsAFullPath) {
    std::string typed = GetParam().typed;
    if (const auto at = typed.find("<root>"); at != std::string::npos) {
        typed.replace(at, 6, root);
    }
    Screen().then([&](auto& s) {
        s.type(typed);
        s.key(Key::Enter);
    });
    OpenCall call(root);
    ASSERT_TRUE(call.run()) << GetParam().why;
    EXPECT_EQ(call.path(), root + GetParam().answer) << GetParam().why;
}

INSTANTIATE_TEST_SUITE_P(
    Names, TypedNameTest,
    ::testing::Values(TypedRun{"letters/a.txt", "/letters/a.txt", "relative path"},
                      TypedRun{"<root>/letters/b.log", "/letters/b.log", "absolute path"},
                      TypedRun{"notes", "/notes.txt", "the default extension, case ignored"},
                      TypedRun{"brand-new", "/brand-new.TXT",
                               "a missing name takes the default extension"}));

TEST_F(OpenDialogTest, TypingAFolderGoesIntoItAndTypingAPatternListsByIt) {
    std::string folder, fieldAfterFolder, fieldAfterPattern;
    Rows byPattern;
    Screen().then([](auto& s) {
        s.type("letters");
        s.key(Key::Enter);
    });
    Screen().then([&](auto& s) {
        folder = LookIn();
        fieldAfterFolder = NameField();
        s.type("*.LOG");
        s.key(Key::Enter);
    });
    Screen().then([&](auto& s) {
        byPattern = ListShown();
        fieldAfterPattern = NameField();
        s.key(Key::Escape);
    });
    OpenCall call(root);
    EXPECT_FALSE(call.run());
    EXPECT_EQ(folder, root + "/letters");
    EXPECT_EQ(fieldAfterFolder, "");
    EXPECT_EQ(byPattern, (Rows{"../", "b.log"}));
    EXPECT_EQ(fieldAfterPattern, "*.LOG");
}

TEST_F(OpenDialogTest, EveryWayOfCancellingAnswersFalseAndLeavesTheBufferAlone) {
    const auto cancelBy = [&](const std::function<void(headless::HeadlessFrontEnd&)>& how) {
        Screen().reset(80, 24);
        Screen().then([&](auto& s) {
            s.type("notes.txt"); // typed but never confirmed
            how(s);
        });
        OpenCall call(root);
        const BOOL answer = call.run();
        return !answer && call.path().empty() && call.guardIntact();
    };
    EXPECT_TRUE(cancelBy([](auto& s) { s.key(Key::Escape); })) << "Esc";
    EXPECT_TRUE(cancelBy([](auto& s) {
        int x = 0, y = 0;
        ASSERT_TRUE(s.find("Cancel", x, y));
        s.click(x, y);
    })) << "the Cancel button";
    EXPECT_TRUE(cancelBy([](auto& s) { s.push(screen::QuitEvent{}); }))
        << "the program told to stop";
}

TEST_F(OpenDialogTest, APathLongerThanTheBufferFailsWithoutWritingPastIt) {
    const std::string expected = root + "/notes.txt";
    const auto runWith = [&](DWORD maxFile, std::string& path, bool& guard) {
        Screen().reset(80, 24);
        Screen().then([](auto& s) {
            s.type("notes.txt");
            s.key(Key::Enter);
        });
        OpenCall call(root, maxFile);
        const BOOL answer = call.run();
        path = call.path();
        guard = call.guardIntact();
        return answer;
    };
    std::string path;
    bool guard = false;
    EXPECT_FALSE(runWith(static_cast<DWORD>(expected.size()), path, guard)); // no room for the zero
    EXPECT_TRUE(guard);
    EXPECT_EQ(path, "");
    EXPECT_TRUE(runWith(static_cast<DWORD>(expected.size() + 1), path, guard));
    EXPECT_TRUE(guard);
    EXPECT_EQ(path, expected);
}

TEST_F(OpenDialogTest, APathTooLongToAnswerIsReportedAndTheDialogStaysUp) {
    // As the loader's dialog is called: room for 4,095 characters and a zero.
    const std::string name = std::string(4100 - root.size() - 1 - 4, 'a') + ".txt";
    std::string box;
    Screen().then([&](auto& s) {
        s.type(name);
        s.key(Key::Enter);
    });
    Screen().then([&](auto& s) {
        box = s.text();
        s.key(Key::Enter); // dismiss the box; the dialog is still up
    });
    Screen().then([](auto& s) {
        s.ch(U'a', true);
        s.type("notes");
        s.key(Key::Enter);
    });
    OpenCall call(root, 4096);
    ASSERT_TRUE(call.run());
    EXPECT_NE(box.find("too long to open: it has 4,100"), std::string::npos) << box;
    EXPECT_NE(box.find("at most 4,095 fit."), std::string::npos) << box;
    EXPECT_EQ(call.path(), root + "/notes.txt");
    EXPECT_TRUE(call.guardIntact());
}

TEST_F(OpenDialogTest, AFolderThatCannotBeReadIsReportedAndTheDialogStaysPut) {
    tmp.folder("gone");
    std::string box, after;
    Rows listAfter;
    Screen().then([&](auto& s) {
        std::filesystem::remove(root + "/gone"); // between listing and opening it
        DoubleClickEntry(s, "gone/");
    });
    Screen().then([&](auto& s) {
        box = s.text();
        s.key(Key::Enter); // dismiss the box
    });
    Screen().then([&](auto& s) {
        after = LookIn();
        listAfter = ListShown();
        s.key(Key::Escape);
    });
    OpenCall call(root);
    EXPECT_FALSE(call.run());
    EXPECT_NE(box.find("This folder cannot be read"), std::string::npos) << box;
    EXPECT_NE(box.find("/gone"), std::string::npos) << box;
    EXPECT_EQ(after, root);
    EXPECT_EQ(listAfter, (Rows{"../", "gone/", "letters/", "b.TXT", "notes.txt"}));
}

TEST_F(OpenDialogTest, AFileThatMustExistIsAskedForAgain) {
    std::string box;
    Screen().then([](auto& s) {
        s.type("missing");
        s.key(Key::Enter);
    });
    Screen().then([&](auto& s) {
        box = s.text();
        s.key(Key::Enter); // dismiss the box; the dialog is still up
    });
    Screen().then([](auto& s) {
        s.ch(U'a', true); // the field still holds the name: select it
        s.type("notes");
        s.key(Key::Enter);
    });
    OpenCall call(root);
    call.ofn.Flags = OFN_FILEMUSTEXIST;
    ASSERT_TRUE(call.run());
    EXPECT_NE(box.find(root + "/missing.TXT"), std::string::npos) << box;
    EXPECT_EQ(call.path(), root + "/notes.txt");
}

TEST_F(OpenDialogTest, TheFrameworksFileDialogAsTheLoaderUsesIt) {
    namespace fs = std::filesystem;
    const fs::path previous = fs::current_path();
    fs::current_path(root + "/letters"); // no folder given: the dialog starts here
    std::string startedIn;
    Screen().then([&](auto& s) {
        startedIn = LookIn();
        s.type("../notes");
        s.key(Key::Enter);
    });
    CFileDialog dlg(TRUE, u"*.TXT", nullptr, 0, u"TEXT Files (*.TXT)|*.TXT|All Files (*.*)|*.*||");
    const INT_PTR chosen = dlg.DoModal();

    Screen().then([](auto& s) { s.key(Key::Escape); });
    CFileDialog cancelled(TRUE, u"*.TXT", nullptr, 0,
                          u"TEXT Files (*.TXT)|*.TXT|All Files (*.*)|*.*||");
    const INT_PTR notChosen = cancelled.DoModal();
    fs::current_path(previous);

    EXPECT_EQ(startedIn, root + "/letters");
    EXPECT_EQ(chosen, IDOK);
    EXPECT_EQ(std::u16string(dlg.GetPathName().str()),
              std::u16string(root.begin(), root.end()) + u"/notes.txt");
    EXPECT_EQ(notChosen, IDCANCEL);
}

} // namespace

// The dialog is laid out for each screen it finds itself on: a small one
// gets it whole, corner to corner, and a large one again gets it centred at
// its own size. Its type list drops with a row for each filter.
TEST_F(OpenDialogTest, FollowsTheScreenSizeAndDropsARowForEachType) {
    Rows small, large, dropped;
    Screen().then([](auto& s) { s.resize(44, 12); });
    Screen().then([&](auto& s) {
        for (int y = 0; y < 12; ++y) {
            std::string row = Trimmed(y);
            const auto at = row.find(root);
            if (at != std::string::npos) {
                row.replace(at, root.size(), "/tmp/filedialog-XXXXXX");
            }
            small.push_back(row);
        }
        s.resize(80, 24);
    });
    Screen().then([&](auto& s) {
        large = {Trimmed(2), Trimmed(18), Trimmed(19), Trimmed(21)};
        int x = 0, y = 0;
        ASSERT_TRUE(s.find("▼", x, y)) << s.text();
        s.click(x, y);
    });
    Screen().then([&](auto& s) {
        for (int y = 19; y < 23; ++y) {
            dropped.push_back(Trimmed(y));
        }
        s.key(Key::Escape);
        s.key(Key::Escape);
    });
    OpenCall call(root);
    EXPECT_FALSE(call.run());
    EXPECT_EQ(small, (Rows{
                         "┌ Open ────────────────────────────────────┐",
                         "│                                          │",
                         "│ Look in: /tmp/filedialog-XXXXXX          │",
                         "│ ┌──────────────────────────────────────┐ │",
                         "│ │../                                   │ │",
                         "│ │letters/                              ▼ │",
                         "│ └──────────────────────────────────────┘ │",
                         "│                                          │",
                         "│ File name:                      [» OK «] │",
                         "│ Files of type: TEXT Files (*.T▼ [Cancel] │",
                         "│                                          │",
                         "└──────────────────────────────────────────┘",
                     }));
    EXPECT_EQ(large,
              (Rows{
                  "     ┌ Open ──────────────────────────────────────────────────────────────┐",
                  "     │ File name:                                              [» OK «]   │",
                  "     │ Files of type:  TEXT Files (*.TXT)                  ▼  [ Cancel ]  │",
                  "     └────────────────────────────────────────────────────────────────────┘",
              }));
    EXPECT_EQ(dropped,
              (Rows{
                  "     │ Files of type:  TEXT Files (*.TXT)                  ▼  [ Cancel ]  │",
                  "     │                 │TEXT Files (*.TXT)                 │              │",
                  "     └─────────────────│All Files (*.*)                    │──────────────┘",
                  "                       └───────────────────────────────────┘",
              }));
}
