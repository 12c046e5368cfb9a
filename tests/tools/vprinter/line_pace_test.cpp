// The pace of a serial line, on a clock the test moves: a reader that takes
// what it is allowed gets N/11 bytes a second at N baud, whatever its steps,
// and a line that sat idle owes no burst.
#include "tools/vprinter/line_pace.h"

#include <cstdint>
#include <gtest/gtest.h>

namespace vprinter::test {
namespace {

// Takes everything allowed every step_us for a simulated second.
std::size_t BytesInOneSecond(unsigned baud, std::int64_t step_us) {
    LinePace pace(baud);
    std::size_t taken = 0;
    const std::int64_t start = 5'000'000;
    pace.took(pace.allowance(start));
    for (std::int64_t t = start + step_us; t <= start + 1'000'000; t += step_us) {
        const std::size_t n = pace.allowance(t);
        pace.took(n);
        taken += n;
    }
    return taken;
}

TEST(LinePace, A115200LineCarriesAboutTenThousandFourHundredSeventyThreeBytesASecond) {
    for (const std::int64_t step : {1'000, 10'000, 12'500, 20'000}) {
        const std::size_t n = BytesInOneSecond(115200, step);
        EXPECT_GE(n, 10'472u) << "step " << step;
        EXPECT_LE(n, 10'473u) << "step " << step;
    }
    EXPECT_NEAR(static_cast<double>(BytesInOneSecond(9600, 10'000)), 9600.0 / 11, 1.0);
}

TEST(LinePace, AnIdleLineOwesAtMostFourStepsAndASlowOneStillAWholeByte) {
    LinePace fast(115200);
    fast.allowance(0);
    // An hour without a look: only four steps' worth (about 419 bytes).
    EXPECT_EQ(fast.allowance(3'600'000'000), std::size_t{4} * 10'000 * 115200 / 11'000'000);

    LinePace slow(50); // a byte every 220 ms
    slow.allowance(0);
    EXPECT_EQ(slow.allowance(10'000), 0u);
    EXPECT_EQ(slow.allowance(3'600'000'000), 1u) << "never stuck below one byte";
}

TEST(LinePace, BytesNotTakenStayOwedAndNoPaceMeansNoLimit) {
    LinePace pace(115200);
    pace.allowance(0);
    const std::size_t first = pace.allowance(10'000);
    ASSERT_EQ(first, std::size_t{2} * 10'000 * 115200 / 11'000'000);
    pace.took(first / 2);
    EXPECT_EQ(pace.allowance(10'000), first - first / 2);

    LinePace none;
    EXPECT_FALSE(none.paced());
    EXPECT_EQ(none.allowance(0), SIZE_MAX);
}

} // namespace
} // namespace vprinter::test
