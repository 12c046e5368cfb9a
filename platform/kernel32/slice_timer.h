// A timer that interrupts this thread's blocking calls every slice while it
// is armed. A blocking write to a serial line costs the kernel much less
// than the same bytes in non-blocking writes and waits, but it cannot be
// cancelled while it sleeps: with the timer it comes back at least once a
// slice, with what it wrote so far, and the caller can look at the keys.
#pragma once

#include <chrono>

namespace kernel32 {

class SliceTimer {
public:
    // Armed if this thread can be interrupted: the timer's signal is free
    // (no other handler) and not blocked here. Otherwise armed() is false and
    // nothing was changed.
    explicit SliceTimer(std::chrono::milliseconds slice);
    ~SliceTimer();
    SliceTimer(const SliceTimer&) = delete;
    SliceTimer& operator=(const SliceTimer&) = delete;

    bool armed() const { return armed_; }
    // The signal the timer sends: a thread that blocks it is never armed.
    static int signalNumber();
    // Stops and restarts the interruptions, around a wait of another kind.
    void pause();
    void resume();

private:
    std::chrono::milliseconds slice_;
    bool armed_ = false;
};

} // namespace kernel32
