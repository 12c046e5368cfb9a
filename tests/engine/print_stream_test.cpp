// Text framing, format blocks and the test page as they reach the printer.
#include "engine/command_block.h"
#include "engine/print_stream.h"
#include "platform/win32/codepage.h"
#include "tests/engine/printer_line.h"
#include "tests/support/memory_limit.h"

#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>

namespace {

using namespace testing_support;

using PrintStream = OpenPrinterLine;

TEST_F(PrintStream, TextGoesOutWithTwoZeroBytes) {
    EXPECT_TRUE(SendText(host, CString()));
    EXPECT_EQ(printer_.Drain(), ToBytes({0x00, 0x00})) << "the lead-in";
    EXPECT_TRUE(SendText(host, CString(u"AB")));
    EXPECT_EQ(printer_.Drain(), ToBytes({0x41, 0x42, 0x00, 0x00}));
    // U+0E01 has no form in the usual ANSI code pages: it becomes their
    // default character and the count still follows the size query.
    EXPECT_TRUE(SendText(host, CString(u"A\u0E01B")));
    EXPECT_EQ(printer_.Drain(), ToBytes({0x41, 0x3F, 0x42, 0x00, 0x00}));
    EXPECT_TRUE(boxes_.Boxes().empty());
}

class CompositeText : public PrintStream, public ::testing::WithParamInterface<const char16_t*> {};

TEST_P(CompositeText, SizeComesFromTheSizeQueryAndUnfilledBytesGoOutAsZeros) {
    // The size query and the conversion use different composite flags, so
    // they may disagree; the count written always follows the size query.
    const char16_t* s = GetParam();
    const int size = WideCharToMultiByte(CP_ACP, 0x220, s, -1, nullptr, 0, nullptr, nullptr);
    ASSERT_GT(size, 0);
    Bytes converted(static_cast<std::size_t>(size) + 1, 0);
    WideCharToMultiByte(CP_ACP, 0x240, s, -1, reinterpret_cast<char*>(converted.data()), size,
                        nullptr, nullptr);
    EXPECT_TRUE(SendText(host, CString(s)));
    EXPECT_EQ(printer_.Drain(), converted);
}

INSTANTIATE_TEST_SUITE_P(Strings, CompositeText,
                         ::testing::Values(u"e\u0301", u"a\u0E01\u0301z", u"\u0301",
                                           u"x\u0308\u0308", u"\u4E2D\u6587"));

TEST_F(PrintStream, AFormatBlockIsSixteenBytesInOneWriteFromTheSharedBlock) {
    ASSERT_NE(g_pCommandBlock, nullptr) << "allocated before main";
    EXPECT_TRUE(SendFormatBlock(host, CommandSet::B, FormatOptions{1, 2, 0, 1, 1}));
    EXPECT_TRUE(SendFormatBlock(host, CommandSet::A, FormatOptions{1, 0, 1, 0, 0}));
    EXPECT_EQ(printer_.Drain(),
              ToBytes({0x00, 0x1D, 0x21, 0x12, 0x1D, 0x21, 0x12, 0x1B, 0x2D, 0x00, 0x1B,
                       0x56, 0x02, 0x1D, 0x42, 0x01, 0x00, 0x1B, 0x55, 0x02, 0x1B, 0x56,
                       0x01, 0x1B, 0x2D, 0x01, 0x1B, 0x63, 0x00, 0x1B, 0x69, 0x00}));
}

// The text is converted a piece at a time, so a text whose whole conversion
// would not fit in the memory left still goes out whole.
TEST_F(PrintStream, ATextLargerThanTheMemoryLeftIsStillSentWhole) {
    if (kSanitizerAllocator) {
        GTEST_SKIP() << "a sanitizer cannot run under an address-space limit";
    }
    // 64 Mi characters convert to 64 MB; 32 MB are left.
    const CString large(std::u16string(64u << 20, u'a'));
    const int answer = RunWithMemoryLimit(32u << 20, [&] {
        const bool sent = SendText(host, large);
        return sent && boxes_.Boxes().empty() ? 0 : 1;
    });
    EXPECT_EQ(answer, 0) << "134 would be the abort of an uncaught std::bad_alloc";
    ASSERT_TRUE(printer_.WaitForBytes((64u << 20) + 2, std::chrono::seconds(60)));
    const Bytes received = printer_.Drain();
    ASSERT_EQ(received.size(), (64u << 20) + 2);
    EXPECT_EQ(std::count(received.begin(), received.end(), 'a'), 64 << 20);
    EXPECT_EQ(received[received.size() - 1], 0);
    EXPECT_EQ(received[received.size() - 2], 0);
}

TEST_F(PrintStream, AFailedHeaderEndsTheTestPageWithOneMessage) {
    printer_.Vanish();
    SendTestPage(host);
    EXPECT_EQ(boxes_.Texts(), std::vector<std::u16string>{u"Can't Send Data to Printer!"});
    EXPECT_FALSE(SendText(host, CString(u"AB")));
    EXPECT_FALSE(SendFormatBlock(host, CommandSet::C, FormatOptions{}));
    EXPECT_EQ(boxes_.Boxes().size(), 3u);
}

} // namespace
