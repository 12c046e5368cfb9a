// Calls that keep the user waiting: a write to a printer that stopped reading
// and a long run of reads report their progress once they have been busy a
// while, fail with ERROR_OPERATION_ABORTED when the user cancels, and carry on
// unchanged when nobody watches.
#include "platform/kernel32/io_wait.h"
#include "platform/kernel32/slice_timer.h"
#include "platform/win32/kernel.h"
#include "platform/win32/write_progress.h"
#include "tests/support/busy_call_recorder.h"
#include "tests/support/counting_printer.h"
#include "tests/support/pty_printer.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using kernel32::IoProgress;
using testing_support::DeviceTable;

using testing_support::BusyCallRecorder;

class BusyCalls : public testing::Test {
protected:
    void SetUp() override { kernel32::SetBusyTiming(20ms, 10ms); }
    void TearDown() override { kernel32::SetBusyTiming(200ms, 100ms); }
};

class BusyPortWrite : public BusyCalls {
protected:
    void SetUp() override {
        BusyCalls::SetUp();
        table_.Link(3, printer_.path());
        port_ = CreateFileW(u"COM3:", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                            nullptr);
        ASSERT_NE(port_, INVALID_HANDLE_VALUE);
    }
    void TearDown() override {
        CloseHandle(port_);
        BusyCalls::TearDown();
    }
    // Far more than the line buffers: the write must wait for the reader.
    const std::string bytes_ = std::string(1 << 20, 'p');
    DeviceTable table_;
    testing_support::PtyPrinter printer_{testing_support::PtyPrinter::Start::Stalled};
    HANDLE port_ = INVALID_HANDLE_VALUE;
};

TEST_F(BusyPortWrite, CancellingFailsTheWriteWithOperationAborted) {
    BusyCallRecorder watcher(3);
    DWORD written = 0;
    EXPECT_FALSE(
        WriteFile(port_, bytes_.data(), static_cast<DWORD>(bytes_.size()), &written, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_OPERATION_ABORTED);
    EXPECT_GT(written, 0u) << "what the line took before the stall is counted";
    EXPECT_LT(written, bytes_.size());
    const auto reports = watcher.Reports();
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0].activity, IoProgress::Activity::Printing);
    EXPECT_EQ(reports[0].name, u"COM3");
    EXPECT_EQ(reports[0].total, bytes_.size());
    EXPECT_EQ(reports.back().done, written);
}

TEST_F(BusyPortWrite, AWaitThatEndsByItselfDeliversEveryByte) {
    BusyCallRecorder watcher(0);
    std::thread resume([&] {
        printer_.WaitUntilFull();
        printer_.Resume();
    });
    DWORD written = 0;
    EXPECT_TRUE(
        WriteFile(port_, bytes_.data(), static_cast<DWORD>(bytes_.size()), &written, nullptr));
    resume.join();
    EXPECT_EQ(written, bytes_.size());
    EXPECT_FALSE(watcher.Reports().empty()) << "the stall was shown";
    ASSERT_TRUE(printer_.WaitForBytes(bytes_.size()));
    EXPECT_EQ(printer_.Received(), testing_support::ToBytes(bytes_));
}

TEST_F(BusyPortWrite, AHangUpDuringTheWaitIsAWriteFailureNotACancel) {
    BusyCallRecorder watcher(0);
    std::thread hangUp([&] {
        printer_.WaitUntilFull();
        printer_.Vanish();
    });
    DWORD written = 0;
    EXPECT_FALSE(
        WriteFile(port_, bytes_.data(), static_cast<DWORD>(bytes_.size()), &written, nullptr));
    hangUp.join();
    EXPECT_NE(GetLastError(), ERROR_OPERATION_ABORTED);
}

TEST_F(BusyPortWrite, AJobWrittenInSeveralWritesReportsTheWholeJob) {
    const std::string head(100, 'h');
    const ULONGLONG total = 2 * head.size() + bytes_.size();
    ASSERT_TRUE(AnnounceWriteTotal(port_, total));
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(port_, head.data(), 100, &written, nullptr));
    ASSERT_TRUE(WriteFile(port_, head.data(), 100, &written, nullptr));
    {
        BusyCallRecorder watcher(2);
        EXPECT_FALSE(
            WriteFile(port_, bytes_.data(), static_cast<DWORD>(bytes_.size()), &written, nullptr));
        const auto reports = watcher.Reports();
        ASSERT_EQ(reports.size(), 2u);
        EXPECT_EQ(reports.back().total, total) << "the whole job, not this write";
        EXPECT_EQ(reports.back().done, 2 * head.size() + written) << "the earlier writes count";
    }
    // The job ended with the write that fell short: a write after it is
    // counted alone.
    BusyCallRecorder watcher(1);
    EXPECT_FALSE(
        WriteFile(port_, bytes_.data(), static_cast<DWORD>(bytes_.size()), &written, nullptr));
    ASSERT_EQ(watcher.Reports().size(), 1u);
    EXPECT_EQ(watcher.Reports()[0].total, bytes_.size());
    EXPECT_FALSE(AnnounceWriteTotal(reinterpret_cast<HANDLE>(0x7777), 1)) << "no such handle";
}

TEST_F(BusyCalls, AWriteToAPrinterThatKeepsTakingBytesSlowlyCanBeCancelled) {
    testing_support::CountingPrinter printer(testing_support::CountingPrinter::Line::PseudoTerminal,
                                             testing_support::CountingPrinter::Pace::Dripping);
    DeviceTable table;
    table.Link(3, printer.path());
    HANDLE port =
        CreateFileW(u"COM3:", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    BusyCallRecorder watcher(3);
    const std::string bytes(4 << 20, 'd'); // about half a minute at this pace
    DWORD written = 0;
    EXPECT_FALSE(
        WriteFile(port, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_OPERATION_ABORTED);
    EXPECT_LT(written, bytes.size());
    const auto reports = watcher.Reports();
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_LT(reports[0].done, reports[2].done) << "the reports follow the bytes going out";
    CloseHandle(port);
}

// Where the write cannot be interrupted (its thread blocks the timer's
// signal), a stalled printer is still a wait the user can cancel.
TEST_F(BusyPortWrite, AThreadThatCannotBeInterruptedStillWaitsWhereItCanCancel) {
    BusyCallRecorder watcher(3);
    BOOL ok = TRUE;
    DWORD error = 0;
    std::thread writer([&] {
        sigset_t mask;
        sigemptyset(&mask);
        sigaddset(&mask, kernel32::SliceTimer::signalNumber());
        ::pthread_sigmask(SIG_BLOCK, &mask, nullptr);
        DWORD written = 0;
        ok = WriteFile(port_, bytes_.data(), static_cast<DWORD>(bytes_.size()), &written, nullptr);
        error = GetLastError();
    });
    // Should the write block for good, the printer going away ends it, and
    // the test fails instead of hanging.
    std::thread guard([&] {
        for (int i = 0; i < 500 && watcher.Reports().size() < 3; ++i) {
            std::this_thread::sleep_for(10ms);
        }
        if (watcher.Reports().size() < 3) {
            printer_.Vanish();
        }
    });
    writer.join();
    guard.join();
    EXPECT_FALSE(ok);
    EXPECT_EQ(error, ERROR_OPERATION_ABORTED);
}

class BusyFileReads : public BusyCalls {
protected:
    void SetUp() override {
        BusyCalls::SetUp();
        path_ = std::filesystem::temp_directory_path() /
                ("tallyroll-busy-" + std::to_string(::getpid()) + ".txt");
        std::ofstream(path_, std::ios::binary) << std::string(1 << 20, 'r');
        file_ = CreateFileW(std::u16string(path_.u16string()).c_str(), GENERIC_READ, 0, nullptr,
                            OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file_, INVALID_HANDLE_VALUE);
    }
    void TearDown() override {
        CloseHandle(file_);
        std::filesystem::remove(path_);
        BusyCalls::TearDown();
    }
    // Reads as the loader does, slowly enough for reports to fall due.
    DWORD ReadAll(std::uint64_t& total) {
        char buffer[4096];
        for (DWORD got = 0;;) {
            if (!ReadFile(file_, buffer, sizeof buffer, &got, nullptr)) {
                return GetLastError();
            }
            if (got == 0) {
                return ERROR_SUCCESS;
            }
            total += got;
            std::this_thread::sleep_for(1ms);
        }
    }
    std::filesystem::path path_;
    HANDLE file_ = INVALID_HANDLE_VALUE;
};

TEST_F(BusyFileReads, ALoadIsOneOperationThatCanBeCancelled) {
    BusyCallRecorder watcher(2);
    std::uint64_t total = 0;
    EXPECT_EQ(ReadAll(total), ERROR_OPERATION_ABORTED);
    EXPECT_GT(total, 0u);
    EXPECT_LT(total, 1u << 20);
    const auto reports = watcher.Reports();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].activity, IoProgress::Activity::Loading);
    EXPECT_EQ(reports[0].name, path_.filename().u16string());
    EXPECT_EQ(reports[0].total, 1u << 20);
    EXPECT_LE(reports[0].done, reports[1].done) << "the report follows the reads";
}

TEST_F(BusyFileReads, WithoutAWatcherNothingChanges) {
    std::uint64_t total = 0;
    EXPECT_EQ(ReadAll(total), ERROR_SUCCESS);
    EXPECT_EQ(total, 1u << 20);
}

} // namespace
