// Opening, refusing, failing and closing ports hundreds of times: each path
// through the connection must give back its descriptors and its memory.
#include "job_form.h"
#include "link/port_connection.h"
#include "platform/user32/dialogs/message_box_presenter.h"
#include "platform/win32/user.h"
#include "resource_use.h"
#include "tests/support/pty_printer.h"

#include <atomic>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>

namespace {

using namespace faults;
using testing_support::DeviceTable;
using testing_support::PtyPrinter;

constexpr int kCycles = 500;
constexpr int kWarmUp = 3; // first uses fill lazily built tables

// Counts boxes without keeping them: a recorder's growing list would be
// counted as memory the connection kept.
std::atomic<int> g_boxes{0};
int CountBox(HWND, LPCWSTR, LPCWSTR, UINT) {
    ++g_boxes;
    return IDOK;
}

// Two printers on COM3 and COM4, a plain file on COM5 and nothing on COM6.
struct Lines {
    Lines() {
        table.Link(3, com3.path());
        table.Link(4, com4.path());
        const std::string file = table.folder() + "/plain";
        testing_support::TouchFile(file);
        table.Link(5, file);
    }

    DeviceTable table;
    PtyPrinter com3, com4;
    JobForm host;
};

// One turn through a path of the connection; false when the connection did
// not behave as that path should.
struct CycleCase {
    const char* name;
    void (*prepare)(Lines&);
    bool (*cycle)(Lines&, int i);
    int boxesPerCycle;
    std::size_t bytesPerCycle; // arriving on COM3 and COM4 together
};

void Nothing(Lines&) {}

bool OpenWriteClose(Lines& lines, int i) {
    const bool ok = OpenPort(lines.host, 3 + i % 2) && WritePort(lines.host, "x", 1);
    ClosePort(lines.host);
    return ok;
}

bool OpenRefusedSettings(Lines& lines, int) {
    return !OpenPort(lines.host, 5) && g_bPortOpen == 0;
}

bool OpenMissingDevice(Lines& lines, int) {
    return !OpenPort(lines.host, 6) && g_bPortOpen == 0;
}

// A printer of its own each time, switched off once connected: the failed
// write closes the connection.
bool ConnectAndLoseThePrinter(Lines& lines, int) {
    PtyPrinter printer;
    lines.table.Link(8, printer.path());
    if (!OpenPort(lines.host, 8)) {
        return false;
    }
    printer.Vanish();
    return !WritePort(lines.host, "x", 1) && g_bPortOpen == 0;
}

class PortCycles : public ::testing::TestWithParam<CycleCase> {
protected:
    void SetUp() override {
        g_boxes = 0;
        previous_ = SetMessageBoxPresenter(&CountBox);
    }
    void TearDown() override {
        ClosePort(lines_.host);
        SetMessageBoxPresenter(previous_);
    }

    Lines lines_;
    MessageBoxPresenter previous_ = nullptr;
};

TEST_P(PortCycles, LeaveNoDescriptorOrMemoryBehind) {
    const CycleCase& c = GetParam();
    c.prepare(lines_);
    ASSERT_FALSE(HasFatalFailure());
    int descriptors = 0;
    HeapUse before, after;
    {
        HeapCounting counting;
        for (int i = 0; i < kWarmUp; ++i) {
            ASSERT_TRUE(c.cycle(lines_, i)) << "cycle " << i;
        }
        descriptors = OpenDescriptorCount();
        before = CountedHeapUse();
        for (int i = kWarmUp; i < kWarmUp + kCycles; ++i) {
            ASSERT_TRUE(c.cycle(lines_, i)) << "cycle " << i;
        }
        after = CountedHeapUse();
    }
    // Compared outside the counted scope: a failure's own message is memory too.
    EXPECT_EQ(OpenDescriptorCount(), descriptors);
    EXPECT_EQ(after.blocks, before.blocks);
    EXPECT_EQ(after.bytes, before.bytes);
    EXPECT_EQ(g_boxes, c.boxesPerCycle * (kWarmUp + kCycles));
    EXPECT_EQ(lines_.com3.Drain().size() + lines_.com4.Drain().size(),
              c.bytesPerCycle * (kWarmUp + kCycles));
}

INSTANTIATE_TEST_SUITE_P(
    Connection, PortCycles,
    ::testing::Values(CycleCase{"PortChanges", &Nothing, &OpenWriteClose, 0, 1},
                      CycleCase{"SettingsRefused", &Nothing, &OpenRefusedSettings, 1, 0},
                      CycleCase{"DeviceMissing", &Nothing, &OpenMissingDevice, 1, 0},
                      CycleCase{"LinesThatHangUp", &Nothing, &ConnectAndLoseThePrinter, 1, 0}),
    [](const auto& p) { return std::string(p.param.name); });

} // namespace
