#include "document/text_file_loader.h"
#include "loader_test_support.h"
#include "platform/afx/win_app.h"
#include "tests/support/message_boxes.h"

#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using loader_testing::FormStandIn;
using loader_testing::PathOf;
using loader_testing::ScratchFolder;

class TextFileLoader : public testing::Test {
protected:
    void SetUp() override { loader_testing::UseLocale("en_US.UTF-8"); }

    // Loads path into a form that shows older text and answers the form.
    FormStandIn Load(const std::filesystem::path& path) {
        FormStandIn form;
        form.text = TEXT("typed before");
        form.file = TEXT("old.txt");
        LoadTextFile(form, PathOf(path));
        return form;
    }

    ScratchFolder folder_;
    testing_support::MessageBoxRecorder boxes_;
};

TEST_F(TextFileLoader, AnEmptyFileGivesAnEmptyTextAndShowsItsPath) {
    const auto file = folder_.Write("empty.txt", "");
    FormStandIn form = Load(file);
    EXPECT_EQ(form.text.str(), u"");
    EXPECT_EQ(form.file, PathOf(file));
    EXPECT_EQ(form.calls, (std::vector<std::string>{"read choices", "refresh"}));
    EXPECT_EQ(boxes_.Count(), 0u);
}

TEST_F(TextFileLoader, FilesAroundTheReadSizeArriveWhole) {
    // 4096 bytes: the second read answers 0. 10,000 bytes: 4096, 4096, 1808.
    for (size_t size : {size_t{4095}, size_t{4096}, size_t{4097}, size_t{8192}, size_t{10000}}) {
        std::string bytes(size, 'x');
        for (size_t i = 0; i < size; ++i) {
            bytes[i] = static_cast<char>('a' + i % 26);
        }
        const auto file = folder_.Write("sized.txt", bytes);
        FormStandIn form = Load(file);
        ASSERT_EQ(form.text.GetLength(), static_cast<int>(size));
        EXPECT_EQ(form.text.str(), std::u16string(bytes.begin(), bytes.end())) << size;
    }
}

TEST_F(TextFileLoader, WesternTextIsConvertedFromTheAnsiCodePage) {
    const auto file = folder_.Write("accents.txt", "Gr\xFC\xDF Gott, caf\xE9\r\n\x80 5");
    EXPECT_EQ(Load(file).text.str(), u"Gr\u00FC\u00DF Gott, caf\u00E9\r\n\u20AC 5");
}

TEST_F(TextFileLoader, ZeroBytesAreDroppedWhereverTheyFall) {
    std::string bytes(4096 * 2 + 10, 'm');
    bytes[0] = '\0';    // start of the first read
    bytes[2000] = '\0'; // middle
    bytes[4095] = '\0'; // end of the first read
    bytes[4096] = '\0'; // start of the second
    bytes.back() = '\0';
    const auto file = folder_.Write("zeros.txt", bytes);
    const CString text = Load(file).text;
    EXPECT_EQ(text.GetLength(), static_cast<int>(bytes.size()) - 5);
    EXPECT_EQ(text.str(), std::u16string(bytes.size() - 5, u'm'));
}

TEST_F(TextFileLoader, AFileThatCannotBeOpenedKeepsTheBoxesAsTheyWere) {
    // The stored values take the new (empty) text and the path, the boxes
    // are not refreshed, and the user is told.
    const std::filesystem::path missing = folder_.path() / "missing.txt";
    const std::filesystem::path unreadable = folder_.Write("secret.txt", "x");
    ::chmod(unreadable.c_str(), 0);
    const std::filesystem::path pipe = folder_.path() / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);

    std::vector<std::filesystem::path> refused = {missing, folder_.path(), pipe, "/dev/zero"};
    if (::geteuid() != 0) { // root reads anything
        refused.push_back(unreadable);
    }
    for (const auto& path : refused) {
        boxes_.Clear();
        FormStandIn form = Load(path); // a FIFO must not hang here
        EXPECT_EQ(form.text.str(), u"") << path;
        EXPECT_EQ(form.file, PathOf(path)) << path;
        EXPECT_TRUE(form.calls.empty()) << path;
        const auto boxes = boxes_.Boxes();
        ASSERT_EQ(boxes.size(), 1u) << path;
        EXPECT_EQ(boxes[0].text, u"Could not open file!");
        EXPECT_EQ(boxes[0].caption, std::u16string(AfxGetAppName()));
    }
}

TEST_F(TextFileLoader, LoadingReplacesRatherThanExtends) {
    const auto file = folder_.Write("second.txt", "two");
    FormStandIn form;
    form.text = TEXT("one");
    LoadTextFile(form, PathOf(file));
    LoadTextFile(form, PathOf(file));
    EXPECT_EQ(form.text.str(), u"two");
}

TEST_F(TextFileLoader, ASparseGigabyteFileLoadsWithoutHanging) {
    // A hole reads as zero bytes, which are dropped: only the tail remains.
    const auto file = folder_.Write("sparse.txt", "");
    {
        std::ofstream out(file, std::ios::binary);
        out.seekp((1LL << 30) - 3);
        out << "end";
    }
    EXPECT_EQ(Load(file).text.str(), u"end");
}

TEST_F(TextFileLoader, ABinaryFileLoadsWithItsZeroBytesDropped) {
    std::string bytes;
    for (int round = 0; round < 40; ++round) { // 10,240 bytes: three reads
        for (int b = 0; b < 256; ++b) {
            bytes += static_cast<char>(b);
        }
    }
    const auto file = folder_.Write("binary.bin", bytes);
    const std::u16string text = Load(file).text.str();
    EXPECT_EQ(text.size(), 40u * 255u);
    EXPECT_EQ(text.find(u'\0'), std::u16string::npos);
    EXPECT_EQ(boxes_.Count(), 0u);
}

TEST_F(TextFileLoader, AFailedReadKeepsWhatWasReadAndRefreshes) {
    // Reading this process's memory from address 0 fails at once.
    FormStandIn form = Load("/proc/self/mem");
    EXPECT_EQ(form.text.str(), u"");
    EXPECT_EQ(form.file.str(), u"/proc/self/mem");
    EXPECT_EQ(form.calls, (std::vector<std::string>{"read choices", "refresh"}));
    // Not the open failure's message: the load says that its text is only a
    // part, with no size, since the system tells none for this file.
    EXPECT_EQ(boxes_.Texts(), std::vector<std::u16string>{u"The file could not be read to its "
                                                          u"end: only the first 0 bytes were "
                                                          u"loaded."});
}

TEST_F(TextFileLoader, AFileWithoutReadPermissionIsReportedToAnOrdinaryUser) {
    const auto file = folder_.Write("private.txt", "secret");
    ::chmod(file.c_str(), 0);
    ::chmod(folder_.path().c_str(), 0755);
    // Root reads anything: take an ordinary user's place in a child process.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && ::setuid(65534) != 0) {
            ::_exit(3);
        }
        boxes_.Clear();
        FormStandIn form = Load(file);
        const auto boxes = boxes_.Boxes();
        const bool reported = boxes.size() == 1 && boxes[0].text == u"Could not open file!";
        ::_exit(reported && form.calls.empty() && form.text.IsEmpty() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

// "Grüße" in UTF-8, and "Größe" in 1252.
const std::string kGruesseUtf8 = "Gr\xC3\xBC\xC3\x9F"
                                 "e";
const std::string kGroesseWestern = "Gr\xF6\xDF"
                                    "e";

TEST_F(TextFileLoader, Utf8LoadsAsUtf8WithOrWithoutItsMark) {
    EXPECT_EQ(Load(folder_.Write("plain.txt", kGruesseUtf8)).text.str(), u"Gr\u00FC\u00DFe");
    EXPECT_EQ(Load(folder_.Write("marked.txt", "\xEF\xBB\xBF" + kGruesseUtf8)).text.str(),
              u"Gr\u00FC\u00DFe");
}

TEST_F(TextFileLoader, Utf16LoadsInTheByteOrderOfItsMark) {
    const std::string little("\xFF\xFEG\0r\0\xFC\0\xDF\0e\0=\0-N", 16);
    const std::string big("\xFE\xFF\0G\0r\0\xFC\0\xDF\0e\0=N-", 16);
    EXPECT_EQ(Load(folder_.Write("le.txt", little)).text.str(), u"Gr\u00FC\u00DFe=\u4E2D");
    EXPECT_EQ(Load(folder_.Write("be.txt", big)).text.str(), u"Gr\u00FC\u00DFe=\u4E2D");
}

TEST_F(TextFileLoader, AUtf8CharacterAcrossTheReadBoundaryIsReassembled) {
    // 4095 ASCII bytes, then E4 B8 AD ("中") across offsets 4095 to 4097.
    const std::string bytes = std::string(4095, 'a') + "\xE4\xB8\xADz";
    EXPECT_EQ(Load(folder_.Write("split.txt", bytes)).text.str(),
              std::u16string(4095, u'a') + u"\u4E2Dz");
}

TEST_F(TextFileLoader, ZeroBytesInUtf8TextAreDropped) {
    std::string bytes = kGruesseUtf8 + std::string(1, '\0') + kGruesseUtf8;
    bytes += std::string(4096 - bytes.size(), '\0') + kGruesseUtf8 + std::string(1, '\0');
    EXPECT_EQ(Load(folder_.Write("zeros8.txt", bytes)).text.str(),
              u"Gr\u00FC\u00DFeGr\u00FC\u00DFeGr\u00FC\u00DFe");
}

TEST_F(TextFileLoader, WesternTextWhoseFirstReadsAreAsciiLoadsWhollyInTheAnsiCodePage) {
    const std::string head(8192, 'a');
    const std::string bytes = head + kGroesseWestern + " \x80";
    EXPECT_EQ(Load(folder_.Write("late.txt", bytes)).text.str(),
              std::u16string(8192, u'a') + u"Gr\u00F6\u00DFe \u20AC");
}

TEST_F(TextFileLoader, WesternTextThatBeganLikeUtf8IsReadAgainInTheAnsiCodePage) {
    // C3 A9 reads as UTF-8 "é"; the lone F6 in the third read shows the file
    // is 1252, so the whole file is read again: "Ã©" stays two characters.
    const std::string bytes = "\xC3\xA9 " + std::string(9000, 'b') + kGroesseWestern;
    EXPECT_EQ(Load(folder_.Write("twice.txt", bytes)).text.str(),
              u"\u00C3\u00A9 " + std::u16string(9000, u'b') + u"Gr\u00F6\u00DFe");
}

class ChineseTextFileLoader : public TextFileLoader {
protected:
    void SetUp() override {
        TextFileLoader::SetUp();
        loader_testing::UseLocale("zh_CN.UTF-8");
    }
};

TEST_F(ChineseTextFileLoader, ACharacterStraddlingTheReadBoundaryIsReassembled) {
    // 4095 ASCII bytes, then D6 D0 ("中") across offsets 4095 and 4096.
    std::string bytes(4095, 'a');
    bytes += "\xD6\xD0";
    bytes += "z";
    const auto file = folder_.Write("zh.txt", bytes);
    const std::u16string text = Load(file).text.str();
    EXPECT_EQ(text, std::u16string(4095, u'a') + u"\u4E2Dz");
}

TEST_F(ChineseTextFileLoader, ChineseTextLoadsInTheAnsiCodePage) {
    // C4 E3 BA C3 is "你好" in 936, and not UTF-8; nor is the text after
    // C4 A3 ("模" in 936, and also UTF-8 for U+0123).
    EXPECT_EQ(Load(folder_.Write("hello.txt", "\xC4\xE3\xBA\xC3\r\n")).text.str(),
              u"\u4F60\u597D\r\n");
    EXPECT_EQ(Load(folder_.Write("mo.txt", "\xC4\xA3\xC4\xE3")).text.str(), u"\u6A21\u4F60");
}

// A locale whose own character set is not UTF-8 (the name is enough where
// the system lacks the locale): its files are written in the ANSI code page.
class ChineseCodePageLocaleLoader : public TextFileLoader {
protected:
    void SetUp() override {
        TextFileLoader::SetUp();
        loader_testing::UseLocale("zh_CN.GBK");
    }
};

TEST_F(ChineseCodePageLocaleLoader, AShortFileThatIsUtf8TooLoadsInTheAnsiCodePage) {
    // "谢谢" in 936, which is also UTF-8 for "лл".
    EXPECT_EQ(Load(folder_.Write("thanks.txt", "\xD0\xBB\xD0\xBB")).text.str(), u"\u8C22\u8C22");
    // Text that only UTF-8 reads is still UTF-8.
    EXPECT_EQ(Load(folder_.Write("zhong.txt", "\xE4\xB8\xAD\n")).text.str(), u"\u4E2D\n");
    EXPECT_EQ(boxes_.Count(), 0u);
}

TEST_F(ChineseTextFileLoader, AShortFileThatIsUtf8TooLoadsAsUtf8UnderAUtf8Locale) {
    EXPECT_EQ(Load(folder_.Write("thanks.txt", "\xD0\xBB\xD0\xBB")).text.str(), u"\u043B\u043B");
}

} // namespace
