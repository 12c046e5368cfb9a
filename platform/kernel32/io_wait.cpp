#include "platform/kernel32/io_wait.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <limits>
#include <poll.h>

namespace kernel32 {
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

void BusyWatch::begin() {
    const Clock::time_point now = Clock::now();
    if (now - lastEnd_ > kSameOperation) {
        nextReport_ = now + g_showAfter.load();
        shown_ = false;
    }
}

bool BusyWatch::report(IoWaitWatcher& watcher, const IoProgress& progress) {
    shown_ = true;
    nextReport_ = Clock::now() + g_reportEvery.load();
    return !watcher.stillBusy(progress);
}

bool BusyWatch::due() const {
    return g_watcher.load() != nullptr && Clock::now() >= nextReport_;
}

bool BusyWatch::check(const IoProgress& progress) {
    IoWaitWatcher* watcher = g_watcher.load();
    if (watcher == nullptr || Clock::now() < nextReport_) {
        return true;
    }
    return report(*watcher, progress);
}

bool BusyWatch::waitFor(int fd, short events, const IoProgress& progress) {
    return waitUntil(fd, events, progress, Clock::time_point::max()) != Outcome::Cancelled;
}

BusyWatch::Outcome BusyWatch::waitUntil(int fd, short events, const IoProgress& progress,
                                        Clock::time_point deadline) {
    const auto millisecondsUntil = [](Clock::time_point t) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(t - Clock::now());
        return std::clamp<long long>(left.count(), 0, std::numeric_limits<int>::max());
    };
    for (;;) {
        if (!check(progress)) {
            return Outcome::Cancelled;
        }
        if (Clock::now() >= deadline) {
            return Outcome::TimedOut;
        }
        IoWaitWatcher* watcher = g_watcher.load();
        pollfd fds[3] = {{fd, events, 0}, {-1, POLLIN, 0}, {-1, POLLIN, 0}};
        nfds_t count = 1;
        long long timeout = deadline == Clock::time_point::max() ? -1 : millisecondsUntil(deadline);
        if (watcher != nullptr) {
            const long long untilReport = millisecondsUntil(nextReport_);
            timeout = timeout < 0 ? untilReport : std::min(timeout, untilReport);
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
        const int ready = ::poll(fds, count, static_cast<int>(timeout));
        if (ready < 0 && errno != EINTR) {
            return Outcome::Ready; // the call itself meets the failure and reports it
        }
        if (ready > 0 && fds[0].revents != 0) {
            return Outcome::Ready; // ready, or failed: the call finds out which
        }
        if (ready > 0 && watcher != nullptr && !report(*watcher, progress)) {
            return Outcome::Cancelled; // input: taken at once, not at the next report
        }
    }
}

} // namespace kernel32
