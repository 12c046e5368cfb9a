// The open-file dialog on real folders: what it lists, walking folders,
// typed names and paths, filters, and what it answers.
#include "dialog_fixture.h"
#include "platform/text/unicode.h"
#include "platform/win32/commdlg.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace dialog_test;
using screen::Key;

namespace {

constexpr char16_t kFilter[] = u"TEXT Files (*.TXT)\0*.TXT\0All Files (*.*)\0*.*\0";

class FileDialogTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        char pattern[] = "/tmp/tallyroll-open-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
        for (const char* f :
             {"notes.txt", "README.TXT", "data.bin", ".hidden.txt", "sub/inner.txt"}) {
            fs::create_directories((root_ / f).parent_path());
            std::ofstream(root_ / f) << "x";
        }
        fs::create_directory(root_ / "Zeta");
        buffer_.assign(512, u'\0');
        ofn_.lStructSize = sizeof ofn_;
        ofn_.lpstrFilter = kFilter;
        ofn_.nFilterIndex = 1;
        ofn_.lpstrFile = buffer_.data();
        ofn_.nMaxFile = static_cast<DWORD>(buffer_.size());
        ofn_.lpstrDefExt = u"*.TXT";
        initialDir_ = text::Utf8ToUtf16(root_.string());
        ofn_.lpstrInitialDir = initialDir_.c_str();
    }
    void TearDown() override { fs::remove_all(root_); }

    std::string Chosen() const { return text::Utf16ToUtf8(buffer_.c_str()); }

    fs::path root_;
    std::u16string buffer_;
    std::u16string initialDir_;
    OPENFILENAMEW ofn_{};
};

bool Shows(const std::string& s) {
    int x = 0, y = 0;
    return Screen().find(s, x, y);
}

} // namespace

TEST_F(FileDialogTest, ListsFoldersAndMatchingFilesIgnoringCase) {
    bool notes = false, readme = false, data = true, hidden = true, sub = false, zeta = false,
         parent = false, dataUnderAll = false;
    Screen().then([&](auto& s) {
        notes = Shows("notes.txt");
        readme = Shows("README.TXT");
        data = Shows("data.bin");
        hidden = Shows(".hidden");
        sub = Shows("sub");
        zeta = Shows("Zeta");
        parent = Shows("..");
        // Files of type: the second filter.
        SetFocus(nullptr);
        s.ch(U't', false, true); // Alt+T: the type list
        s.key(Key::Down);
    });
    Screen().then([&](auto& s) {
        dataUnderAll = Shows("data.bin");
        s.key(Key::Escape);
    });
    EXPECT_FALSE(GetOpenFileNameW(&ofn_));
    EXPECT_TRUE(notes);
    EXPECT_TRUE(readme);
    EXPECT_FALSE(data);
    EXPECT_FALSE(hidden);
    EXPECT_TRUE(sub);
    EXPECT_TRUE(zeta);
    EXPECT_TRUE(parent);
    EXPECT_TRUE(dataUnderAll);
}

TEST_F(FileDialogTest, TypedNameAnswersTheFullPath) {
    Screen().type("notes.txt");
    Screen().key(Key::Enter);
    ASSERT_TRUE(GetOpenFileNameW(&ofn_));
    EXPECT_EQ(Chosen(), (fs::weakly_canonical(root_) / "notes.txt").string());
    EXPECT_EQ(buffer_.substr(ofn_.nFileOffset, 9), u"notes.txt");
    EXPECT_EQ(buffer_.substr(ofn_.nFileExtension, 3), u"txt");
    EXPECT_EQ(ofn_.nFilterIndex, 1u);
}

TEST_F(FileDialogTest, NameWithoutExtensionGetsTheDefaultOne) {
    Screen().type("letter");
    Screen().key(Key::Enter);
    ASSERT_TRUE(GetOpenFileNameW(&ofn_));
    EXPECT_EQ(fs::path(Chosen()).filename(), "letter.TXT");
}

TEST_F(FileDialogTest, WalkIntoAFolderAndPickFromTheList) {
    Screen().then([](auto& s) {
        s.key(Key::BackTab); // files
        s.key(Key::BackTab); // folders: "..", "sub", "Zeta"
        s.key(Key::Down);
        s.key(Key::Down);
        s.key(Key::Enter); // opens "sub"
    });
    Screen().then([](auto& s) {
        EXPECT_TRUE(Shows("inner.txt"));
        s.key(Key::Tab); // files
        s.key(Key::Down);
        s.key(Key::Enter);
    });
    ASSERT_TRUE(GetOpenFileNameW(&ofn_));
    EXPECT_EQ(Chosen(), (fs::weakly_canonical(root_) / "sub" / "inner.txt").string());
}

TEST_F(FileDialogTest, TypedFolderPathAndParentByMouse) {
    Screen().then([&](auto& s) {
        s.type((root_ / "sub").string());
        s.key(Key::Enter); // shows the folder
    });
    Screen().then([](auto& s) {
        EXPECT_TRUE(Shows("inner.txt"));
        int x = 0, y = 0;
        ASSERT_TRUE(s.find("..", x, y));
        s.push(screen::MouseEvent{screen::MouseEvent::Kind::DoubleClick, x, y});
    });
    Screen().then([](auto& s) {
        EXPECT_TRUE(Shows("README.TXT"));
        int x = 0, y = 0;
        ASSERT_TRUE(s.find("README.TXT", x, y));
        s.push(screen::MouseEvent{screen::MouseEvent::Kind::DoubleClick, x, y});
    });
    ASSERT_TRUE(GetOpenFileNameW(&ofn_));
    EXPECT_EQ(fs::path(Chosen()).filename(), "README.TXT");
}

TEST_F(FileDialogTest, MustExistAsksAgain) {
    ofn_.Flags = OFN_FILEMUSTEXIST;
    bool told = false;
    Screen().type("missing.txt");
    Screen().key(Key::Enter);
    Screen().then([&](auto& s) {
        told = Shows("File not found.");
        s.key(Key::Enter); // dismiss the box
        s.key(Key::Escape);
    });
    EXPECT_FALSE(GetOpenFileNameW(&ofn_));
    EXPECT_TRUE(told);
}

TEST_F(FileDialogTest, TooSmallABufferFails) {
    ofn_.nMaxFile = 4;
    Screen().type("notes.txt");
    Screen().key(Key::Enter);
    EXPECT_FALSE(GetOpenFileNameW(&ofn_));
}
