// A printer that stops reading in the middle of a job: the job's write
// blocks on the full line. Reading again must deliver every byte in order;
// hanging up must end the job with its message and close the connection, so
// that the next job connects again.
#include "background_job.h"
#include "job_form.h"
#include "link/port_connection.h"
#include "printer_streams.h"
#include "tests/support/message_boxes.h"
#include "tests/support/pty_printer.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace faults;
using testing_support::Bytes;
using testing_support::DeviceTable;
using testing_support::MessageBoxRecorder;
using testing_support::PtyPrinter;

// Far more than a pseudo-terminal buffers (a few tens of KB), so the job
// cannot finish while nobody reads.
constexpr std::size_t kLargeText = 1 << 20;
const std::u16string kCantSend = u"Can't Send Data to Printer!";

// Equal streams, or where they first part: a megabyte printed whole helps no one.
::testing::AssertionResult SameStream(const Bytes& got, const Bytes& want) {
    const auto [g, w] = std::mismatch(got.begin(), got.end(), want.begin(), want.end());
    if (g == got.end() && w == want.end()) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "received " << got.size() << " bytes, expected " << want.size()
           << "; first difference at offset " << (g - got.begin());
}

class StalledLine : public ::testing::Test {
protected:
    void SetUp() override {
        table_.Link(3, printer_.path());
        form_.textBox = Widen(text_);
    }
    void TearDown() override { ClosePort(form_); }

    const std::string text_ = NumberedLines(kLargeText);
    DeviceTable table_;
    PtyPrinter printer_{PtyPrinter::Start::Stalled};
    MessageBoxRecorder boxes_;
    JobForm form_;
};

TEST_F(StalledLine, ABlockedJobDeliversEveryByteInOrderOnceTheReaderResumes) {
    const Bytes stream = PrintStream(text_);
    BackgroundJob job(form_);
    const std::size_t waiting = printer_.WaitUntilFull();
    EXPECT_LT(waiting, stream.size());
    EXPECT_FALSE(job.Finished()) << "the write did not block on a full line";

    printer_.Resume();
    ASSERT_TRUE(job.WaitFinished());
    ASSERT_TRUE(printer_.WaitForBytes(stream.size()));
    EXPECT_TRUE(SameStream(printer_.Received(), stream));
    EXPECT_TRUE(boxes_.Boxes().empty());
    EXPECT_NE(g_bPortOpen, 0);
}

struct Reconnection {
    const char* name;
    int nPort; // the COM number chosen after the printer hung up
};

class HungUpWhileBlocked : public StalledLine,
                           public ::testing::WithParamInterface<Reconnection> {};

TEST_P(HungUpWhileBlocked, EndsTheJobWithItsMessageAndTheNextJobReconnects) {
    {
        BackgroundJob job(form_);
        printer_.WaitUntilFull();
        ASSERT_FALSE(job.Finished());
        printer_.Vanish();
        EXPECT_TRUE(job.WaitFinished()) << "the blocked write outlived the line";
    }
    EXPECT_EQ(boxes_.Texts(), std::vector<std::u16string>{kCantSend});
    EXPECT_EQ(boxes_.Boxes().at(0).owner, kFormWindow);
    EXPECT_EQ(g_bPortOpen, 0) << "the line hung up: the connection is closed";

    // The next job opens the port chosen then, with no port change needed: a
    // re-paired printer may come back under the same name on a new device.
    PtyPrinter fresh;
    table_.Link(GetParam().nPort, fresh.path());
    form_.port = GetParam().nPort - 1;
    form_.textBox = u"back again";
    RunPrintJob(form_);
    EXPECT_EQ(fresh.Drain(), PrintStream("back again"));
    EXPECT_EQ(boxes_.Texts().size(), 1u);
    ClosePort(form_);
}

INSTANTIATE_TEST_SUITE_P(Reconnect, HungUpWhileBlocked,
                         ::testing::Values(Reconnection{"AnotherPort", 4},
                                           Reconnection{"SamePortOnANewDevice", 3}),
                         [](const auto& p) { return std::string(p.param.name); });

} // namespace
