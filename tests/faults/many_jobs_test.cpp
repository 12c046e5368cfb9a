// A thousand print jobs in a row on one connection, as a user printing all
// day would: every job's bytes exact, and nothing kept from one job to the
// next, neither descriptors nor memory.
#include "engine/print_jobs.h"
#include "job_form.h"
#include "link/port_connection.h"
#include "printer_streams.h"
#include "resource_use.h"
#include "tests/support/message_boxes.h"
#include "tests/support/pty_printer.h"

#include <gtest/gtest.h>

namespace {

using namespace faults;
using testing_support::DeviceTable;
using testing_support::MessageBoxRecorder;
using testing_support::PtyPrinter;

constexpr int kJobs = 1000;
constexpr int kWarmUp = 3; // the first job opens the port

TEST(ManyJobs, AThousandPrintJobsKeepNoDescriptorOrMemory) {
    DeviceTable table;
    PtyPrinter printer;
    table.Link(3, printer.path());
    MessageBoxRecorder boxes;
    JobForm form;
    const std::string text = NumberedLines(1024);
    form.textBox = Widen(text);
    const testing_support::Bytes stream = PrintStream(text);

    auto printOnce = [&](int job) {
        {
            HeapCounting counting;
            RunPrintJob(form);
        }
        ASSERT_EQ(printer.Drain(), stream) << "job " << job;
    };

    for (int job = 0; job < kWarmUp; ++job) {
        printOnce(job);
    }
    const int descriptors = OpenDescriptorCount();
    const HeapUse heap = CountedHeapUse();

    for (int job = kWarmUp; job < kWarmUp + kJobs && !HasFatalFailure(); ++job) {
        printOnce(job);
    }

    EXPECT_EQ(OpenDescriptorCount(), descriptors);
    // The stored text is replaced by every job; nothing else outlives one.
    EXPECT_EQ(CountedHeapUse().blocks, heap.blocks);
    EXPECT_EQ(CountedHeapUse().bytes, heap.bytes);
    EXPECT_TRUE(boxes.Boxes().empty());
    ClosePort(form);
}

} // namespace
