// Edits and handlers that cannot get memory, in a child process with a
// lowered address-space limit: the text stays as it was, the user is told,
// and the dialog goes on. An exception that is a fault still ends the
// program.
#include "platform/user32/dialogs/message_box_presenter.h"
#include "tests/platform/user32/dialog_fixture.h"
#include "tests/support/memory_limit.h"

#include <cstdio>
#include <new>
#include <stdexcept>

using namespace dialog_test;
using screen::Key;

namespace {

constexpr std::size_t kMegabyte = std::size_t{1024} * 1024;

std::vector<std::u16string> g_boxes;

int RecordBox(HWND, LPCWSTR text, LPCWSTR, UINT) {
    g_boxes.emplace_back(text != nullptr ? text : u"");
    return IDOK;
}

class OutOfMemory : public DialogTest {
protected:
    void SetUp() override {
        if (testing_support::kSanitizerAllocator) {
            GTEST_SKIP() << "a sanitizer cannot run under an address-space limit";
        }
        DialogTest::SetUp();
        g_boxes.clear();
        // The window system puts its own boxes in place when it starts: the
        // recorder follows once the dialog is up.
        Screen().then([this](auto&) { previous_ = SetMessageBoxPresenter(&RecordBox); });
    }
    void TearDown() override { SetMessageBoxPresenter(previous_); }

    MessageBoxPresenter previous_ = nullptr;
};

// Writes what failed and answers 1, so that the parent sees it.
int Check(bool ok, const char* what) {
    if (!ok) {
        (void)std::fprintf(stderr, "failed in the child: %s\n", what);
    }
    return ok ? 0 : 1;
}

TEST_F(OutOfMemory, APasteThatDoesNotFitLeavesTheTextAsItWasAndSaysSo) {
    // 4 MB of lines copied, then pasted at the end until the memory is gone.
    constexpr std::size_t kLength = 4 * kMegabyte;
    const int answer = testing_support::RunWithMemoryLimit(160 * kMegabyte, [] {
        std::size_t before = 0;
        std::size_t afterReplace = 0;
        std::size_t typed = 0;
        Screen().then([](auto& s) {
            std::u16string lines(kLength, u'x');
            for (std::size_t i = 78; i + 1 < kLength; i += 80) {
                lines[i] = u'\r';
                lines[i + 1] = u'\n';
            }
            SetWindowTextW(Item(kText), lines.c_str());
            SetFocus(Item(kText));
            s.ch(U'a', true);                // select all
            s.key(Key::Insert, false, true); // copy
            s.key(Key::End, false, true);
            for (int i = 0; i < 60; ++i) {
                s.ch(U'v', true);
            }
        });
        Screen().then([&](auto& s) {
            // The memory is gone now: a paste over the last character.
            before = static_cast<std::size_t>(Send(kText, WM_GETTEXTLENGTH));
            s.key(Key::Left, true);
            s.ch(U'v', true);
        });
        Screen().then([&](auto& s) {
            afterReplace = static_cast<std::size_t>(Send(kText, WM_GETTEXTLENGTH));
            s.key(Key::End, false, true);
            s.ch(U'z');
        });
        Screen().then([&](auto& s) {
            typed = static_cast<std::size_t>(Send(kText, WM_GETTEXTLENGTH));
            s.key(Key::Escape);
        });
        const INT_PTR result = RunTestDialog();
        int failed = Check(result == IDCANCEL, "the dialog ran on to Esc");
        failed |= Check(!g_boxes.empty(), "a paste failed and said so");
        failed |= Check(std::all_of(g_boxes.begin(), g_boxes.end(),
                                    [](const std::u16string& box) {
                                        return box == u"Not enough memory for this edit: the "
                                                      u"text is as it was.";
                                    }),
                        "every failed paste told the user");
        failed |= Check(before % kLength == 0 && before >= 2 * kLength,
                        "each paste went in whole or not at all");
        failed |= Check(afterReplace == before, "the selection a paste was to replace is kept");
        failed |= Check(typed == before + 1, "typing still works");
        return failed;
    });
    EXPECT_EQ(answer, 0) << "134 would be the abort of an uncaught std::bad_alloc";
}

TEST_F(OutOfMemory, AHandlerWithoutMemoryIsReportedAndTheDialogGoesOn) {
    int presses = 0;
    Record().onCommand = [&](int id, int) {
        if (id == kGo) {
            ++presses;
            throw std::bad_alloc();
        }
    };
    Screen().then([](auto& s) { s.key(Key::Enter); });
    Screen().then([](auto& s) { s.key(Key::Enter); });
    Screen().then([](auto& s) { s.key(Key::Escape); });
    EXPECT_EQ(RunTestDialog(), IDCANCEL);
    EXPECT_EQ(presses, 2);
    EXPECT_EQ(g_boxes, (std::vector<std::u16string>(
                           2, u"Not enough memory to finish that. Nothing else was lost.")));
}

TEST_F(OutOfMemory, AnyOtherExceptionIsAFaultAndEndsTheProgram) {
    const int answer = testing_support::RunWithMemoryLimit(512 * kMegabyte, [] {
        (void)std::freopen("/dev/null", "w", stderr); // the fault's own report is expected
        Record().onCommand = [](int id, int) {
            if (id == kGo) {
                throw std::logic_error("a fault");
            }
        };
        Screen().then([](auto& s) { s.key(Key::Enter); });
        Screen().then([](auto& s) { s.key(Key::Escape); });
        RunTestDialog();
        return 0;
    });
    EXPECT_EQ(answer, 134) << "the fault is let through, not hidden";
    EXPECT_TRUE(g_boxes.empty());
}

} // namespace
