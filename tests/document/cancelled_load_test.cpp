// A load the user cancels ends like a failed read: the text read so far is
// kept, in the encoding it was being read in, the file box names the file,
// the form is refreshed, and a message says that the text is only a part.
#include "document/text_file_loader.h"
#include "loader_test_support.h"
#include "tests/support/busy_call_recorder.h"
#include "tests/support/message_boxes.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using namespace std::chrono_literals;
using namespace loader_testing;

// Lets the first report pass and cancels at the second: one read's worth of
// text has come in by then.
struct CancelAtSecondReport {
    testing_support::BusyCallRecorder recorder{2, 0ms, 0ms};
    testing_support::MessageBoxRecorder boxes;
};

TEST(CancelledLoad, KeepsTheTextReadSoFarAndRefreshes) {
    UseLocale("C");
    ScratchFolder folder;
    const auto file = folder.Write("long.txt", std::string(std::size_t{64} * 1024, 'a'));
    CancelAtSecondReport watcher;
    FormStandIn form;
    LoadTextFile(form, PathOf(file));
    EXPECT_EQ(watcher.recorder.Reports().size(), 2u);
    EXPECT_EQ(form.text.str(), std::u16string(4096, u'a')) << "the first read is kept";
    EXPECT_EQ(form.file.str(), PathOf(file).str());
    EXPECT_EQ(form.calls, (std::vector<std::string>{"read choices", "refresh"}));
}

TEST(CancelledLoad, AUtf8FileCutInsideACharacterStaysUtf8AndSaysItIsAPart) {
    UseLocale("en_US.UTF-8");
    ScratchFolder folder;
    // "a", then "é" (C3 A9) 40,000 times: the first read ends after C3.
    std::string bytes = "a";
    for (int i = 0; i < 40000; ++i) {
        bytes += "\xC3\xA9";
    }
    const auto file = folder.Write("accents.txt", bytes);
    CancelAtSecondReport watcher;
    FormStandIn form;
    LoadTextFile(form, PathOf(file));
    EXPECT_EQ(form.text.str(), u"a" + std::u16string(2047, u'\u00E9'))
        << "the first read in UTF-8, its last half character left out";
    EXPECT_EQ(watcher.boxes.Texts(),
              std::vector<std::u16string>{
                  u"Loading was cancelled: only the first 4,096 of 80,001 bytes were loaded."});
    EXPECT_EQ(form.calls, (std::vector<std::string>{"read choices", "refresh"}));
}

} // namespace
