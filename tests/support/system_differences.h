// Checks in which the system's conversions, formatter or controls answer
// otherwise than ours: by our choice (docs/codepages.md: no best fit, only
// ANSI code pages), or where Wine does not do what Win32 documents;
// docs/windows.md lists them all. Built for Windows, such a check still runs
// and is expected to fail, as Wine's own todo_wine does it: its failures are
// reported as the recorded difference, and the test fails when the check
// passes, so that a record that no longer holds is dropped. Built for Linux,
// the check is an ordinary one.
//
//     DIFFERS_ON_WINDOWS("Wine ignores the h size");   // to the end of the scope
//     EXPECT_EQ(...);
//     DIFFERS_ON_WINDOWS_IF(GetParam() == 936, "Wine's 936 is smaller");
#pragma once

#include <algorithm>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <initializer_list>
#include <iostream>
#include <optional>
#include <string_view>

namespace testing_support {

#ifdef _WIN32
inline constexpr bool kOnWindows = true;
#else
inline constexpr bool kOnWindows = false;
#endif

// From its making to the end of its scope, where the sides differ, the
// failures of the checks are taken as the difference; at least one is due.
class ExpectedDifference {
public:
    ExpectedDifference(bool sidesDiffer, const char* reason, const char* file, int line)
        : reason_(reason), file_(file), line_(line) {
        if (sidesDiffer) {
            intercepted_.emplace(
                testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD,
                &failures_);
        }
    }
    ~ExpectedDifference() {
        if (!intercepted_) {
            return;
        }
        intercepted_.reset();
        if (failures_.size() == 0) {
            ADD_FAILURE_AT(file_, line_) << "recorded as differing on this system (" << reason_
                                         << "), but every check passed: drop the record";
            return;
        }
        // In the test's report, and in the log of a run under Wine, where it
        // is the record at work and no alarm.
        const auto& first = failures_.GetTestPartResult(0);
        testing::Test::RecordProperty("differs", reason_);
        if (kOnWindows) {
            std::cout << "[ DIFFERS  ] as recorded (" << reason_ << "): " << failures_.size()
                      << " check(s) failed, the first at " << first.file_name() << ':'
                      << first.line_number() << '\n';
        }
    }
    ExpectedDifference(const ExpectedDifference&) = delete;
    ExpectedDifference& operator=(const ExpectedDifference&) = delete;

private:
    const char* reason_;
    const char* file_;
    int line_;
    testing::TestPartResultArray failures_;
    std::optional<testing::ScopedFakeTestPartResultReporter> intercepted_;
};

// For naming the cases of a parameterised test on which the sides agree.
inline bool OneOf(std::string_view name, std::initializer_list<std::string_view> names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

} // namespace testing_support

#define DIFFERS_ON_WINDOWS(reason) DIFFERS_ON_WINDOWS_IF(true, reason)

// For the cases of a parameterised test that differ, or the one parameter.
#define DIFFERS_ON_WINDOWS_IF(condition, reason)                                                   \
    const ::testing_support::ExpectedDifference expected_difference_on_windows_(                   \
        ::testing_support::kOnWindows && (condition), (reason), __FILE__, __LINE__)
