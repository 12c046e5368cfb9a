#include "platform/kernel32/slice_timer.h"

#include <csignal>
#include <ctime>
#include <mutex>
#include <unistd.h>

namespace kernel32 {
namespace {

// The handler does nothing: the signal is there to make a blocking call
// return. Installed without SA_RESTART, so the call is not resumed.
void Interrupted(int /*signal*/) {}

bool InstallHandlerOnce() {
    static std::once_flag once;
    static bool installed = false;
    std::call_once(once, [] {
        struct sigaction old {};
        if (::sigaction(SliceTimer::signalNumber(), nullptr, &old) != 0 ||
            old.sa_handler != SIG_DFL) {
            return; // someone else's signal
        }
        struct sigaction action {};
        action.sa_handler = &Interrupted;
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0;
        installed = ::sigaction(SliceTimer::signalNumber(), &action, nullptr) == 0;
    });
    return installed;
}

bool BlockedHere() {
    sigset_t mask;
    sigemptyset(&mask);
    return ::pthread_sigmask(SIG_BLOCK, nullptr, &mask) != 0 ||
           sigismember(&mask, SliceTimer::signalNumber()) == 1;
}

// One timer a thread, aimed at that thread alone, made the first time the
// thread needs it and deleted when it ends.
class ThreadTimer {
public:
    ThreadTimer() {
        sigevent event{};
        event.sigev_notify = SIGEV_THREAD_ID;
        event.sigev_signo = SliceTimer::signalNumber();
        event._sigev_un._tid = ::gettid();
        made_ = ::timer_create(CLOCK_MONOTONIC, &event, &timer_) == 0;
    }
    ~ThreadTimer() {
        if (made_) {
            (void)::timer_delete(timer_);
        }
    }
    ThreadTimer(const ThreadTimer&) = delete;
    ThreadTimer& operator=(const ThreadTimer&) = delete;

    bool made() const { return made_; }
    // A zero period stops it.
    bool set(std::chrono::nanoseconds period) {
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(period);
        const timespec every{static_cast<time_t>(seconds.count()),
                             static_cast<long>((period - seconds).count())};
        const itimerspec schedule{every, every};
        return ::timer_settime(timer_, 0, &schedule, nullptr) == 0;
    }

private:
    timer_t timer_{};
    bool made_ = false;
};

ThreadTimer& ThisThreadsTimer() {
    thread_local ThreadTimer timer;
    return timer;
}

} // namespace

// A real-time signal of the program's own range, well clear of the first
// ones that libraries reach for.
int SliceTimer::signalNumber() {
    return SIGRTMIN + 7;
}

SliceTimer::SliceTimer(std::chrono::milliseconds slice) : slice_(slice) {
    if (slice_.count() <= 0 || !InstallHandlerOnce() || BlockedHere()) {
        return;
    }
    ThreadTimer& timer = ThisThreadsTimer();
    armed_ = timer.made() && timer.set(slice_);
}

SliceTimer::~SliceTimer() {
    pause();
}

// Once the timer is stopped no signal of it is left to come: one that fired
// before was delivered when the stopping call returned.
void SliceTimer::pause() {
    if (armed_) {
        (void)ThisThreadsTimer().set(std::chrono::nanoseconds{0});
    }
}

void SliceTimer::resume() {
    if (armed_) {
        (void)ThisThreadsTimer().set(slice_);
    }
}

} // namespace kernel32
