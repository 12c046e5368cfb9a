// A recorded difference keeps its checks running: where the sides differ a
// failing check is the difference and passes the test, a check that passes
// fails it (the record no longer holds); elsewhere checks count as ever.
#include "tests/support/system_differences.h"

#include <cstddef>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using testing_support::ExpectedDifference;

// What a block of checks under a record reports to the test, from outside it.
template <typename Checks>
std::vector<testing::TestPartResult> Reported(bool sidesDiffer, Checks checks) {
    testing::TestPartResultArray reported;
    {
        const testing::ScopedFakeTestPartResultReporter outside(
            testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &reported);
        const ExpectedDifference difference(sidesDiffer, "a recorded reason", __FILE__, __LINE__);
        checks();
    }
    std::vector<testing::TestPartResult> results;
    results.reserve(static_cast<std::size_t>(reported.size()));
    for (int i = 0; i < reported.size(); ++i) {
        results.push_back(reported.GetTestPartResult(i));
    }
    return results;
}

void FailsFatally() {
    ASSERT_EQ(1, 2);
}

TEST(ExpectedDifference, WhereTheSidesDifferAFailingCheckIsTheDifference) {
    EXPECT_EQ(Reported(true, [] { EXPECT_EQ(1, 2); }).size(), 0u);
    EXPECT_EQ(Reported(true, [] { FailsFatally(); }).size(), 0u);
    EXPECT_EQ(Reported(true,
                       [] {
                           EXPECT_EQ(1, 1);
                           EXPECT_EQ(1, 2);
                       })
                  .size(),
              0u)
        << "one differing check among agreeing ones is enough";
}

TEST(ExpectedDifference, WhereTheSidesDifferButAgreeTheTestFailsToDropTheRecord) {
    const auto reported = Reported(true, [] { EXPECT_EQ(1, 1); });
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_TRUE(reported[0].failed());
    const std::string message = reported[0].message();
    EXPECT_NE(message.find("a recorded reason"), std::string::npos) << message;
    EXPECT_NE(message.find("drop the record"), std::string::npos) << message;
}

TEST(ExpectedDifference, WhereTheSidesAgreeChecksCountAsEver) {
    EXPECT_EQ(Reported(false, [] { EXPECT_EQ(1, 1); }).size(), 0u);
    const auto reported = Reported(false, [] { EXPECT_EQ(1, 2); });
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_TRUE(reported[0].nonfatally_failed());
}

} // namespace
