#include "platform/kernel32/pause_skip.h"
#include "platform/win32/kernel.h"

#include <atomic>
#include <cerrno>
#include <sched.h>
#include <time.h>

namespace {
std::atomic<bool> g_skipPauses{false};
} // namespace

void kernel32::SkipPauses(bool skip) {
    g_skipPauses.store(skip);
}

void Sleep(DWORD dwMilliseconds) {
    if (g_skipPauses.load() && dwMilliseconds != 0) {
        return;
    }
    if (dwMilliseconds == 0) {
        sched_yield(); // Win32: give up the rest of the time slice
        return;
    }
    // An absolute deadline, so that a signal cannot shorten the pause and
    // resuming after one does not lengthen it.
    timespec deadline{};
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    deadline.tv_sec += static_cast<time_t>(dwMilliseconds / 1000);
    deadline.tv_nsec += static_cast<long>(dwMilliseconds % 1000) * 1000000L;
    if (deadline.tv_nsec >= 1000000000L) {
        deadline.tv_sec += 1;
        deadline.tv_nsec -= 1000000000L;
    }
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
    }
}
