// Stands where the window system watches busy calls: records every report a
// busy call makes and cancels at the one asked for, with reports made sooner
// than the program's 0.2 s so that a test sees them without waiting long.
// The program's timing and no watcher are back when it goes.
#pragma once

#include "platform/kernel32/io_wait.h"

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace testing_support {

class BusyCallRecorder final : public kernel32::IoWaitWatcher {
public:
    using Activity = kernel32::IoProgress::Activity;
    struct Report {
        Activity activity;
        std::u16string name;
        std::u16string target;
        std::uint64_t done;
        std::uint64_t total;
    };

    // cancelAt: the report that answers "cancel", counted from 1 (0: none).
    explicit BusyCallRecorder(
        int cancelAt, std::chrono::milliseconds showAfter = std::chrono::milliseconds(20),
        std::chrono::milliseconds reportEvery = std::chrono::milliseconds(10));
    ~BusyCallRecorder() override;
    BusyCallRecorder(const BusyCallRecorder&) = delete;
    BusyCallRecorder& operator=(const BusyCallRecorder&) = delete;

    std::vector<Report> Reports() const;

    int inputDescriptors(int (&fds)[2]) override;
    bool stillBusy(const kernel32::IoProgress& progress) override;

private:
    const int cancelAt_;
    mutable std::mutex mutex_;
    std::vector<Report> reports_;
};

} // namespace testing_support
