// A file whose name is not UTF-8 beside a decoy whose name spells U+FFFD: the
// two look alike on screen, yet the listing, a typed name, the dialog's
// answer and the loader each keep to the file that was picked.
#include "document/text_file_loader.h"
#include "platform/afx/file_dialog.h"
#include "platform/comdlg32/folder_listing.h"
#include "platform/comdlg32/open_file_dialog.h"
#include "platform/comdlg32/typed_name.h"
#include "platform/text/path_text.h"
#include "platform/user32/controls/list_box.h"
#include "platform/win32/user.h"
#include "tests/document/loader_test_support.h"
#include "tests/platform/comdlg32/dialog_driver.h"
#include "tests/support/temp_folder.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

using namespace filedialog_test;
using screen::Key;
using testing_support::TempFolder;

namespace {

const std::string kStray = "bad\xFFname.txt";         // a byte that is not UTF-8
const std::string kDecoy = "bad\xEF\xBF\xBDname.txt"; // U+FFFD, spelled in UTF-8

class ExactNames : public ::testing::Test {
protected:
    void SetUp() override {
        Screen().reset(80, 24);
        tmp.file(kStray, "the picked file");
        tmp.file(kDecoy, "the decoy");
    }

    // The list row that holds the entry with this text, found by the text the
    // list keeps rather than by what the screen shows.
    static int RowOf(const std::u16string& entry) {
        HWND list = DialogItem(comdlg32::kOpenFileList);
        const auto count = SendMessageW(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            std::u16string s(static_cast<std::size_t>(
                                 SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0)) +
                                 1,
                             u'\0');
            SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(s.data()));
            s.resize(s.size() - 1);
            if (s == entry) {
                RECT r{};
                GetWindowRect(list, &r);
                return r.top + 1 + static_cast<int>(i);
            }
        }
        ADD_FAILURE() << "no such entry";
        return -1;
    }

    // Picks the stray file in the loader's dialog by how, then loads what the
    // dialog answered as the "..." button does.
    loader_testing::FormStandIn PickAndLoad(const std::function<void(int x, int y)>& how) {
        Screen().then([&](auto&) {
            RECT r{};
            GetWindowRect(DialogItem(comdlg32::kOpenFileList), &r);
            how(r.left + 2, RowOf(text::PathFromBytes(kStray)));
        });
        CFileDialog dlg(TRUE, u"*.TXT", nullptr, 0,
                        u"TEXT Files (*.TXT)|*.TXT|All Files (*.*)|*.*||");
        dlg.m_ofn.lpstrInitialDir = folder_.c_str();
        loader_testing::FormStandIn form;
        EXPECT_EQ(dlg.DoModal(), IDOK);
        answer_ = dlg.GetPathName().str();
        LoadTextFile(form, dlg.GetPathName());
        return form;
    }

    TempFolder tmp{"filedialog"};
    std::u16string folder_ = text::PathFromBytes(tmp.path());
    std::u16string answer_;
};

TEST_F(ExactNames, TheListingKeepsEachNameAndTellsThemApart) {
    const comdlg32::FolderContents c = comdlg32::ListFolder(tmp.path(), {u"*.TXT"});
    ASSERT_EQ(c.entries.size(), 3u);
    EXPECT_EQ(c.entries[1].name, kStray);
    EXPECT_EQ(c.entries[1].shown, u"bad\xDCFFname.txt");
    EXPECT_EQ(c.entries[2].name, kDecoy);
    EXPECT_EQ(c.entries[2].shown, u"bad\uFFFDname.txt");
}

TEST_F(ExactNames, ATypedNameFindsOnlyTheFileItSpells) {
    const comdlg32::TypedNameRules rules{u"*.TXT", true, true};
    const std::string root = tmp.path() + "/";
    EXPECT_EQ(comdlg32::InterpretTypedName(tmp.path(), u"bad\xDCFFname.txt", rules).path,
              root + kStray);
    EXPECT_EQ(comdlg32::InterpretTypedName(tmp.path(), u"bad\uFFFDname.txt", rules).path,
              root + kDecoy);
    // Matching without regard to case must not take one for the other either.
    EXPECT_EQ(comdlg32::InterpretTypedName(tmp.path(), u"BAD\xDCFFNAME", rules).path,
              root + kStray);
    EXPECT_EQ(comdlg32::InterpretTypedName(tmp.path(), u"BAD\uFFFDNAME", rules).path,
              root + kDecoy);
}

// Cells that hold half of a surrogate pair: no terminal can show one.
int HalfCharacters(const screen::Grid& grid) {
    int count = 0;
    for (int y = 0; y < grid.height(); ++y) {
        for (int x = 0; x < grid.width(); ++x) {
            count += grid.at(x, y).ch >= 0xD800 && grid.at(x, y).ch <= 0xDFFF ? 1 : 0;
        }
    }
    return count;
}

TEST_F(ExactNames, BothShowAReplacementMarkOnScreenOnly) {
    std::vector<std::string> shown;
    int halves = -1;
    Screen().then([&](auto& s) {
        shown = ListShown();
        RECT r{};
        GetWindowRect(DialogItem(comdlg32::kOpenFileList), &r);
        s.click(r.left + 2, RowOf(text::PathFromBytes(kStray))); // the name goes to the field
    });
    Screen().then([&](auto& s) {
        halves = HalfCharacters(s.screen());
        s.key(Key::Escape);
    });
    OpenCall call(tmp.path());
    EXPECT_FALSE(call.run());
    EXPECT_EQ(shown, (std::vector<std::string>{"../", "bad\uFFFDname.txt", "bad\uFFFDname.txt"}));
    EXPECT_EQ(halves, 0);
}

TEST_F(ExactNames, PickingTheStrayFileThenOkLoadsItNotTheDecoy) {
    // A click puts the name in the field; OK then answers the field's name.
    const loader_testing::FormStandIn form = PickAndLoad([](int x, int y) {
        Screen().click(x, y);
        int okX = 0, okY = 0;
        ASSERT_TRUE(Screen().find("» OK «", okX, okY));
        Screen().click(okX + 2, okY);
    });
    EXPECT_EQ(answer_, folder_ + u"/bad\xDCFFname.txt");
    EXPECT_EQ(form.text.str(), u"the picked file");
}

TEST_F(ExactNames, DoubleClickingTheStrayFileLoadsItNotTheDecoy) {
    const loader_testing::FormStandIn form = PickAndLoad([](int x, int y) {
        Screen().click(x, y);
        Screen().push(screen::MouseEvent{screen::MouseEvent::Kind::DoubleClick, x, y});
        Screen().push(screen::MouseEvent{screen::MouseEvent::Kind::Release, x, y});
    });
    EXPECT_EQ(answer_, folder_ + u"/bad\xDCFFname.txt");
    EXPECT_EQ(form.text.str(), u"the picked file");
}

} // namespace
