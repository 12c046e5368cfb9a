// A load the user cancels ends like a failed read: the text read so far is
// kept, the file box names the file, and the form is refreshed.
#include "document/text_file_loader.h"
#include "loader_test_support.h"
#include "platform/posix/io_wait.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using namespace std::chrono_literals;
using namespace loader_testing;

// Lets the first report pass and cancels at the second: one read's worth of
// text has come in by then.
class CancelAtSecondReport : public posix_layer::IoWaitWatcher {
public:
    CancelAtSecondReport() {
        posix_layer::SetBusyTiming(0ms, 0ms);
        posix_layer::SetIoWaitWatcher(this);
    }
    ~CancelAtSecondReport() override {
        posix_layer::SetIoWaitWatcher(nullptr);
        posix_layer::SetBusyTiming(200ms, 100ms);
    }
    int inputDescriptors(int (&)[2]) override { return 0; }
    bool stillBusy(const posix_layer::IoProgress&) override { return ++reports == 2; }
    int reports = 0;
};

TEST(CancelledLoad, KeepsTheTextReadSoFarAndRefreshes) {
    UseLocale("C");
    ScratchFolder folder;
    const auto file = folder.Write("long.txt", std::string(std::size_t{64} * 1024, 'a'));
    CancelAtSecondReport watcher;
    FormStandIn form;
    LoadTextFile(form, PathOf(file));
    EXPECT_EQ(watcher.reports, 2);
    EXPECT_EQ(form.text.str(), std::u16string(4096, u'a')) << "the first read is kept";
    EXPECT_EQ(form.file.str(), PathOf(file).str());
    EXPECT_EQ(form.calls, (std::vector<std::string>{"read choices", "refresh"}));
}

} // namespace
