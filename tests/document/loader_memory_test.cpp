// Loading a file whose text does not fit in the memory left, in a child
// process with a lowered address-space limit: the load ends with a message
// instead of ending the program, the form is refreshed with an empty text,
// and the next load works.
#include "document/text_file_loader.h"
#include "loader_test_support.h"
#include "platform/afx/win_app.h"
#include "platform/user32/dialogs/message_box_presenter.h"
#include "tests/support/memory_limit.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using loader_testing::FormStandIn;
using loader_testing::PathOf;
using loader_testing::ScratchFolder;
using testing_support::RunWithMemoryLimit;

constexpr std::size_t kMegabyte = std::size_t{1024} * 1024;
const std::u16string kTooLarge = u"The file is too large for the memory available.";

std::vector<std::u16string> g_boxes;

int RecordBox(HWND, LPCWSTR text, LPCWSTR caption, UINT) {
    g_boxes.emplace_back(text != nullptr ? text : u"");
    g_boxes.emplace_back(caption != nullptr ? caption : u"");
    return IDOK;
}

// The form's text box keeps a copy of the text, as the program's does, so a
// refresh needs room for the text a second time.
class FormWithTextBox : public FormStandIn {
public:
    std::u16string textBox;
    void RefreshForm() override {
        FormStandIn::RefreshForm();
        textBox = text.str();
    }
};

// Checks made in the child: each one that fails is written out and makes
// the child's answer 1.
class ChildChecks {
public:
    void operator()(bool ok, const char* what) {
        if (!ok) {
            (void)std::fprintf(stderr, "failed in the child: %s\n", what);
            failed_ = true;
        }
    }
    int answer() const { return failed_ ? 1 : 0; }

private:
    bool failed_ = false;
};

class LoaderMemory : public testing::Test {
protected:
    void SetUp() override {
        if (testing_support::kSanitizerAllocator) {
            GTEST_SKIP() << "a sanitizer cannot run under an address-space limit";
        }
        loader_testing::UseLocale("en_US.UTF-8");
        previous_ = SetMessageBoxPresenter(&RecordBox);
        small_ = folder_.Write("small.txt", "small");
    }
    void TearDown() override { SetMessageBoxPresenter(previous_); }

    // A file of size bytes of ASCII text, lines of 80.
    std::filesystem::path TextFile(const char* name, std::size_t size) const {
        std::string bytes(size, 'x');
        for (std::size_t i = 78; i + 1 < size; i += 80) {
            bytes[i] = '\r';
            bytes[i + 1] = '\n';
        }
        return folder_.Write(name, bytes);
    }

    // What a load that ran out of memory must leave, then a load that works.
    void CheckReportedAndStillWorking(FormWithTextBox& form, const std::filesystem::path& large,
                                      const std::vector<std::string>& calls, ChildChecks& check) {
        check(g_boxes == std::vector<std::u16string>{kTooLarge, AfxGetAppName()},
              "one message box, under the application's title");
        check(form.text.IsEmpty() && form.textBox.empty(), "no part of the text is kept");
        check(form.text.str().capacity() < kMegabyte, "the text's room is given back");
        check(form.file == PathOf(large), "the file box shows the path");
        check(form.calls == calls, "the choices read and the form refreshed");

        LoadTextFile(form, PathOf(small_));
        check(form.text.str() == u"small" && form.textBox == u"small", "the next load works");
        check(g_boxes.size() == 2, "and shows no message");
    }

    ScratchFolder folder_;
    std::filesystem::path small_;
    MessageBoxPresenter previous_ = nullptr;
};

TEST_F(LoaderMemory, ATextThatDoesNotFitIsDroppedAndReported) {
    // 64 MB of text needs 128 MB as UTF-16; 48 MB are left.
    const auto large = TextFile("large.txt", 64 * kMegabyte);
    const int answer = RunWithMemoryLimit(48 * kMegabyte, [&] {
        ChildChecks check;
        FormWithTextBox form;
        form.text = TEXT("typed before");
        LoadTextFile(form, PathOf(large));
        CheckReportedAndStillWorking(form, large, {"read choices", "refresh"}, check);
        return check.answer();
    });
    EXPECT_EQ(answer, 0) << "134 would be the abort of an uncaught std::bad_alloc";
}

TEST_F(LoaderMemory, ATextThatFitsOnlyOnceIsReportedWhenTheTextBoxCannotTakeIt) {
    // 40 MB of text is 80 MB as UTF-16: room for the stored text, none for
    // the text box's copy.
    const auto large = TextFile("twice.txt", 40 * kMegabyte);
    const int answer = RunWithMemoryLimit(120 * kMegabyte, [&] {
        ChildChecks check;
        FormWithTextBox form;
        LoadTextFile(form, PathOf(large));
        // The first refresh failed; the second shows the empty text.
        CheckReportedAndStillWorking(form, large, {"read choices", "refresh", "refresh"}, check);
        return check.answer();
    });
    EXPECT_EQ(answer, 0) << "134 would be the abort of an uncaught std::bad_alloc";
}

} // namespace
