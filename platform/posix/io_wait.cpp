#include "platform/posix/io_wait.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <poll.h>

namespace posix_layer {
namespace {

using namespace std::chrono_literals;

// How long a call may be busy before the user is shown what it waits for,
// and how often the report is brought up to date after that.
std::atomic<std::chrono::milliseconds> g_showAfter{200ms};
std::atomic<std::chrono::milliseconds> g_reportEvery{100ms};
// Calls closer together than this belong to one operation.
constexpr auto kSameOperation = 100ms;

std::atomic<IoWaitWatcher*> g_watcher{nullptr};

} // namespace

void SetIoWaitWatcher(IoWaitWatcher* watcher) {
    g_watcher.store(watcher);
}

void SetBusyTiming(std::chrono::milliseconds showAfter, std::chrono::milliseconds reportEvery) {
    g_showAfter.store(showAfter);
    g_reportEvery.store(reportEvery);
}

void BusyWatch::Begin() {
    const Clock::time_point now = Clock::now();
    if (now - lastEnd_ > kSameOperation) {
        nextReport_ = now + g_showAfter.load();
        shown_ = false;
    }
}

bool BusyWatch::Report(IoWaitWatcher& watcher, const IoProgress& progress) {
    shown_ = true;
    nextReport_ = Clock::now() + g_reportEvery.load();
    return !watcher.stillBusy(progress);
}

bool BusyWatch::Due() const {
    return g_watcher.load() != nullptr && Clock::now() >= nextReport_;
}

bool BusyWatch::Check(const IoProgress& progress) {
    IoWaitWatcher* watcher = g_watcher.load();
    if (watcher == nullptr || Clock::now() < nextReport_) {
        return true;
    }
    return Report(*watcher, progress);
}

bool BusyWatch::WaitFor(int fd, short events, const IoProgress& progress) {
    for (;;) {
        if (!Check(progress)) {
            return false;
        }
        IoWaitWatcher* watcher = g_watcher.load();
        pollfd fds[3] = {{fd, events, 0}, {-1, POLLIN, 0}, {-1, POLLIN, 0}};
        nfds_t count = 1;
        int timeout = -1;
        if (watcher != nullptr) {
            const auto untilReport =
                std::chrono::ceil<std::chrono::milliseconds>(nextReport_ - Clock::now());
            timeout = static_cast<int>(std::max<long long>(0, untilReport.count()));
            // Input that comes before the first report waits for it, so the
            // user sees what the keys act on.
            if (shown_) {
                int input[2] = {-1, -1};
                const int n = std::clamp(watcher->inputDescriptors(input), 0, 2);
                for (int i = 0; i < n; ++i) {
                    fds[count++].fd = input[i];
                }
            }
        }
        const int ready = ::poll(fds, count, timeout);
        if (ready < 0 && errno != EINTR) {
            return true; // the call itself meets the failure and reports it
        }
        if (ready > 0 && fds[0].revents != 0) {
            return true; // ready, or failed: the call finds out which
        }
        if (ready > 0 && watcher != nullptr && !Report(*watcher, progress)) {
            return false; // input: taken at once, not at the next report
        }
    }
}

} // namespace posix_layer
