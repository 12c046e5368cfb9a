// Print and Test from start to end on a pseudo-terminal printer: the bytes
// and the pause on the line, the order in which the form is used, and every
// way a job can fail.
#include "engine/print_jobs.h"
#include "tests/engine/printer_line.h"
#include "tests/support/memory_limit.h"
#include "tests/support/printer_settings.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace testing_support;
using namespace std::chrono_literals;

using Form = FakeJobForm;

const Bytes kLeadIn = ToBytes({0x00, 0x00});
const Bytes kBlockA = ToBytes({0x00, 0x1B, 0x55, 0x02, 0x1B, 0x56, 0x01, 0x1B, 0x2D, 0x01, 0x1B,
                               0x63, 0x00, 0x1B, 0x69, 0x00});
const Bytes kTextAB = ToBytes({0x41, 0x42, 0x0D, 0x0A, 0x00, 0x00});
const Bytes kTestPage = Join(
    {ToBytes({0x00, 0x00, 0x00, 0x00, 0x1B, 0x40}), ToBytes(kTestText), ToBytes({0x00, 0x00})});
const std::u16string kCantSend = u"Can't Send Data to Printer!";

class Jobs : public PrinterLine {
protected:
    void SetUp() override {
        PrinterLine::SetUp();
        host_ = &form;
    }

    // The pause after the lead-in as the printer saw it: from the arrival of
    // the lead-in's second byte to the arrival of the byte after it. A reader
    // sees the true pause plus the difference of two delivery delays, and on
    // a loaded machine the kernel can hand over the lead-in a scheduler slice
    // late; so the job runs again (at most three times in all, every run's
    // bytes checked) until one run shows the pause whole.
    std::chrono::nanoseconds PauseSeenByThePrinter(void (*job)(PrintJobHost&),
                                                   const Bytes& stream) {
        std::chrono::nanoseconds longest{0};
        std::size_t start = 0;
        for (int run = 0; run < 3; ++run) {
            if (run > 0) {
                start = printer_.Received().size();
                job(form);
                EXPECT_EQ(printer_.Drain(), stream);
            }
            longest = std::max<std::chrono::nanoseconds>(
                longest, printer_.ArrivalOf(start + 2) - printer_.ArrivalOf(start + 1));
            if (longest >= std::chrono::milliseconds(20)) {
                break;
            }
        }
        return longest;
    }

    Form form;
};

TEST_F(Jobs, PrintSendsLeadInPauseFormatBlockAndTextWithLineEnd) {
    RunPrintJob(form);
    const Bytes stream = Join({kLeadIn, kBlockA, kTextAB});
    EXPECT_EQ(printer_.Drain(), stream);
    EXPECT_EQ(form.log, (std::vector<std::string>{"read form", "disable Test", "disable Print",
                                                  "width", "height", "port", "printer",
                                                  "enable Test", "enable Print"}));
    EXPECT_EQ(form.m_strText, CString(u"AB\r\n"));
    EXPECT_TRUE(boxes_.Boxes().empty());
    EXPECT_GE(PauseSeenByThePrinter(&RunPrintJob, stream), 20ms);
}

struct PrintCase {
    const char* name;
    std::u16string text;
    int printer, width, height;
    BOOL underline, direction, white;
    Bytes afterLeadIn;
};

class PrintVariants : public Jobs, public ::testing::WithParamInterface<PrintCase> {};

TEST_P(PrintVariants, PutExactlyTheseBytesOnTheLine) {
    const PrintCase& c = GetParam();
    form.textBox = c.text;
    form.printer = c.printer;
    form.width = c.width;
    form.height = c.height;
    form.underlineBox = c.underline;
    form.directionBox = c.direction;
    form.whiteBox = c.white;
    RunPrintJob(form);
    EXPECT_EQ(printer_.Drain(), Join({kLeadIn, c.afterLeadIn}));
}

INSTANTIATE_TEST_SUITE_P(
    Streams, PrintVariants,
    ::testing::Values(PrintCase{"NoModel", u"AB", -1, 1, 0, 1, 0, 0, kTextAB},
                      PrintCase{"ModelBeyondTheList", u"AB", 4, 1, 0, 1, 0, 0, kTextAB},
                      PrintCase{"EmptyText", u"", 0, 1, 0, 1, 0, 0,
                                Join({kBlockA, ToBytes({0x0D, 0x0A, 0x00, 0x00})})},
                      PrintCase{"SetBWithFlagsAsStored", u"AB", 2, 1, 2, 0, 7, 1,
                                Join({ToBytes({0x00, 0x1D, 0x21, 0x12, 0x1D, 0x21, 0x12, 0x1B, 0x2D,
                                               0x00, 0x1B, 0x56, 0x02, 0x1D, 0x42, 0x01}),
                                      kTextAB})},
                      PrintCase{"SetCNoWidth", u"AB", 3, -1, 0, 0, 0, 0,
                                Join({ToBytes({0x00, 0x1D, 0x21, 0xF0, 0x1D, 0x21, 0xF0, 0x1B, 0x2D,
                                               0x00, 0x1B, 0x7B, 0x00, 0x1D, 0x42, 0x00}),
                                      kTextAB})},
                      PrintCase{"LinesKeepTheirEnds", u"a\nb", -1, 0, 0, 0, 0, 0,
                                ToBytes({'a', '\n', 'b', 0x0D, 0x0A, 0x00, 0x00})}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(Jobs, PrintingTwiceSendsTheSameTextOnTheConnectionOpenedFirst) {
    RunPrintJob(form);
    table_.Unlink(3); // a second open would fail now
    RunPrintJob(form);
    EXPECT_EQ(printer_.Drain(), Join({kLeadIn, kBlockA, kTextAB, kLeadIn, kBlockA, kTextAB}));
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(Jobs, TestSendsLeadInPauseAndTheTestPageWhateverTheFormat) {
    form.printer = 3;
    form.width = -1;
    form.directionBox = TRUE;
    form.textBox = u"ignored";
    RunTestJob(form);
    const Bytes stream = Join({kLeadIn, kTestPage});
    EXPECT_EQ(printer_.Drain(), stream);
    EXPECT_EQ(form.log, (std::vector<std::string>{"disable Test", "disable Print", "port",
                                                  "enable Test", "enable Print"}));
    EXPECT_TRUE(boxes_.Boxes().empty());
    EXPECT_GE(PauseSeenByThePrinter(&RunTestJob, stream), 20ms);
}

const std::vector<std::string> kButtonsBack = {"enable Test", "enable Print"};

std::vector<std::string> LastTwo(const std::vector<std::string>& log) {
    return log.size() < 2 ? log : std::vector<std::string>(log.end() - 2, log.end());
}

class EitherJob : public Jobs, public ::testing::WithParamInterface<void (*)(PrintJobHost&)> {};

TEST_P(EitherJob, StopsWithAMessageWhenThePortCannotBeOpened) {
    table_.Unlink(3);
    GetParam()(form);
    form.port = -1; // nothing selected in the COM list: port 0
    GetParam()(form);
    EXPECT_EQ(boxes_.Texts(), (std::vector<std::u16string>{u"Unable to open COM3:, Error No.=2",
                                                           u"Unable to open COM0:, Error No.=2"}));
    for (const RecordedBox& box : boxes_.Boxes()) {
        EXPECT_EQ(box.caption, u"Error");
        EXPECT_EQ(box.owner, kForm);
    }
    EXPECT_TRUE(printer_.Drain().empty());
    EXPECT_EQ(LastTwo(form.log), kButtonsBack);
    EXPECT_EQ(g_bPortOpen, 0);
}

TEST_P(EitherJob, StopsWithTheOpenMessageWhenThePortRefusesItsSettings) {
    const std::string file = table_.folder() + "/not-a-port";
    testing_support::TouchFile(file);
    table_.Link(3, file);
    GetParam()(form);
    EXPECT_EQ(boxes_.Texts(), std::vector<std::u16string>{u"Unable to open COM3:, Error No.=1"});
    EXPECT_EQ(boxes_.Boxes().at(0).caption, u"Error");
    EXPECT_EQ(LastTwo(form.log), kButtonsBack);
    EXPECT_EQ(g_bPortOpen, 0);
    EXPECT_EQ(std::filesystem::file_size(file), 0u) << "nothing written into the file";
}

TEST_P(EitherJob, AChangedPortIsOpenedAndConfiguredForTheNextJob) {
    GetParam()(form);
    const Bytes first = printer_.Drain();

    // What the form does when another COM entry is chosen.
    ClosePort(form);
    PtyPrinter com4;
    table_.Link(4, com4.path());
    form.port = 3;
    GetParam()(form);
    EXPECT_EQ(com4.Drain(), first);
    ExpectPrinterSettings(com4.slave_fd());

    // And back to the first pseudo-terminal, whose settings are applied again.
    ClosePort(form);
    form.port = 2;
    GetParam()(form);
    EXPECT_EQ(printer_.Drain(), first);
    EXPECT_TRUE(com4.Drain().empty());
    EXPECT_TRUE(boxes_.Boxes().empty());
    ClosePort(form);
}

INSTANTIATE_TEST_SUITE_P(PrintAndTest, EitherJob, ::testing::Values(&RunPrintJob, &RunTestJob),
                         [](const auto& p) {
                             return std::string(p.index == 0 ? "Print" : "Test");
                         });

// A form whose text box holds 64 Mi characters (128 MB).
class LargeTextForm : public Form {
public:
    explicit LargeTextForm(bool roomForTheLineEnd) {
        large.reserve(kLarge + (roomForTheLineEnd ? 2 : 0));
        large.assign(kLarge, u'a');
    }
    // Reading the box hands its text over without a copy, with room for the
    // line end if so made; every later read is the small box's.
    void ReadForm() override {
        Form::ReadForm();
        if (!large.empty()) {
            m_strText = CString(std::move(large));
            large.clear();
        }
    }
    static constexpr std::size_t kLarge = 64u << 20;
    std::u16string large;
};

const std::u16string kNoMemory = u"Not enough memory to print this text.";

class JobsWithLittleMemory : public Jobs {
protected:
    void SetUp() override {
        if (kSanitizerAllocator) {
            GTEST_SKIP() << "a sanitizer cannot run under an address-space limit";
        }
        Jobs::SetUp();
    }

    // Runs Print once on form with 32 MB to spare, then once more with the
    // small text: answers 0 when the first said it had no memory, gave the
    // buttons back, and the second went on as usual.
    int PrintWithLittleMemory(LargeTextForm& large) {
        host_ = &large;
        return RunWithMemoryLimit(32u << 20, [&] {
            RunPrintJob(large);
            const bool told = boxes_.Texts() == std::vector<std::u16string>{kNoMemory} &&
                              boxes_.Boxes()[0].caption == u"Error" &&
                              boxes_.Boxes()[0].owner == kForm;
            const bool buttonsBack = LastTwo(large.log) == kButtonsBack;
            RunPrintJob(large);
            const bool goesOn = boxes_.Boxes().size() == 1;
            return told && buttonsBack && goesOn ? 0 : 1;
        });
    }
};

TEST_F(JobsWithLittleMemory, NoRoomForTheTextWithItsLineEndSendsNothingAndSaysSo) {
    // Adding the line end to the text needs a larger copy of it.
    LargeTextForm large(false);
    EXPECT_EQ(PrintWithLittleMemory(large), 0);
    EXPECT_EQ(printer_.Drain(), Join({kLeadIn, kBlockA, kTextAB}));
}

struct VanishCase {
    const char* name;
    void (*job)(PrintJobHost&);
    int printer;
    std::size_t messages;
};

class PrinterVanishing : public Jobs, public ::testing::WithParamInterface<VanishCase> {};

TEST_P(PrinterVanishing, AfterTheLeadInEveryFailedWriteIsReportedAndTheNextJobReconnects) {
    const VanishCase& c = GetParam();
    form.printer = c.printer;
    printer_.VanishAfter(2);
    // Print asks for the model after the pause; by then the printer is gone.
    form.onPrinterSelection = [this] { ASSERT_TRUE(printer_.WaitVanished()); };
    c.job(form);
    EXPECT_EQ(boxes_.Texts(), std::vector<std::u16string>(c.messages, kCantSend));
    EXPECT_EQ(LastTwo(form.log), kButtonsBack);
    EXPECT_EQ(g_bPortOpen, 0) << "the line hung up: the connection is closed";

    // The printer comes back as the same port on a new device; the next job
    // opens it with no port change in between.
    PtyPrinter back;
    table_.Link(3, back.path());
    form.onPrinterSelection = nullptr;
    RunTestJob(form);
    EXPECT_EQ(back.Drain(), Join({kLeadIn, kTestPage}));
    ExpectPrinterSettings(back.slave_fd());
    EXPECT_EQ(boxes_.Texts().size(), c.messages);
}

INSTANTIATE_TEST_SUITE_P(Jobs, PrinterVanishing,
                         ::testing::Values(VanishCase{"PrintWithModel", &RunPrintJob, 0, 2},
                                           VanishCase{"PrintWithoutModel", &RunPrintJob, -1, 1},
                                           VanishCase{"Test", &RunTestJob, 0, 1}),
                         [](const auto& p) { return std::string(p.param.name); });

} // namespace
