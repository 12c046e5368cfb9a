// The line that tells the user what a busy call waits for.
#include "platform/screen/grid.h"
#include "platform/user32/core/busy_report.h"

#include <gtest/gtest.h>

namespace {

using kernel32::IoProgress;

IoProgress Progress(IoProgress::Activity activity, std::u16string_view name, std::uint64_t done,
                    std::uint64_t total) {
    IoProgress p;
    p.activity = activity;
    p.name = name;
    p.done = done;
    p.total = total;
    return p;
}

TEST(BusyLine, SaysWhatWaitsHowFarItGotAndHowToCancel) {
    using A = IoProgress::Activity;
    EXPECT_EQ(user32::BusyLine(Progress(A::Printing, u"COM3", 12288, 60002)),
              u"Printing on COM3: 12,288 of 60,002 bytes \u00B7 Esc cancels");
    EXPECT_EQ(user32::BusyLine(Progress(A::Loading, u"notes.txt", 40u << 20, 512u << 20)),
              u"Loading notes.txt: 40 of 512 MB \u00B7 Esc cancels");
    // An endless file has no size to measure against.
    EXPECT_EQ(user32::BusyLine(Progress(A::Loading, u"pagemap", 1234567, 0)),
              u"Loading pagemap: 1,234,567 bytes \u00B7 Esc cancels");
    EXPECT_EQ(user32::BusyLine(Progress(A::Printing, u"COM1", 0, 999)),
              u"Printing on COM1: 0 of 999 bytes \u00B7 Esc cancels");
}

TEST(BusyLine, AConnectionSaysWhatItReaches) {
    IoProgress p = Progress(IoProgress::Activity::Connecting, u"COM4", 0, 0);
    p.target = u"network printer 10.0.0.5:9100";
    EXPECT_EQ(user32::BusyLine(p),
              u"Connecting COM4 to network printer 10.0.0.5:9100 \u00B7 Esc cancels");
    p.target = u"Bluetooth printer 00:11:22:33:44:55 channel 1";
    EXPECT_EQ(user32::BusyLine(p), u"Connecting COM4 to Bluetooth printer 00:11:22:33:44:55 "
                                   u"channel 1 \u00B7 Esc cancels");
}

TEST(BusyLine, TakesTheLastRowOfTheScreen) {
    screen::Grid grid;
    grid.resize(30, 5);
    user32::DrawBusyLine(grid, u"Loading a.txt: 1 of 2 bytes");
    EXPECT_EQ(grid.rowText(4), " Loading a.txt: 1 of 2 bytes  ");
    EXPECT_EQ(grid.rowText(3), std::string(30, ' '));
}

} // namespace
