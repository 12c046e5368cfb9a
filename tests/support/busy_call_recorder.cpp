#include "busy_call_recorder.h"

namespace testing_support {

BusyCallRecorder::BusyCallRecorder(int cancelAt, std::chrono::milliseconds showAfter,
                                   std::chrono::milliseconds reportEvery)
    : cancelAt_(cancelAt) {
    kernel32::SetBusyTiming(showAfter, reportEvery);
    kernel32::SetIoWaitWatcher(this);
}

BusyCallRecorder::~BusyCallRecorder() {
    kernel32::SetIoWaitWatcher(nullptr);
    kernel32::SetBusyTiming(std::chrono::milliseconds(200), std::chrono::milliseconds(100));
}

std::vector<BusyCallRecorder::Report> BusyCallRecorder::Reports() const {
    std::lock_guard lock(mutex_);
    return reports_;
}

int BusyCallRecorder::inputDescriptors(int (&)[2]) {
    return 0;
}

bool BusyCallRecorder::stillBusy(const kernel32::IoProgress& progress) {
    std::lock_guard lock(mutex_);
    reports_.push_back({progress.activity, std::u16string(progress.name),
                        std::u16string(progress.target), progress.done, progress.total});
    return static_cast<int>(reports_.size()) == cancelAt_;
}

} // namespace testing_support
