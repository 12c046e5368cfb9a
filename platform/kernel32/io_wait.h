// Waiting on a device or a file where the user can see it and stop it.
//
// A call that has been busy for about 0.2 s tells the watcher (the window
// system, when there is one) what it is doing, and asks again about every
// 0.1 s while it goes on. The watcher brings the screen up to date, shows the
// call's progress and takes the user's input; when the user cancels, the call
// fails with ERROR_OPERATION_ABORTED, as Win32 fails synchronous I/O that
// another thread cancelled. Without a watcher, calls wait as long as they must.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace kernel32 {

// What a busy call is doing, for the user to read.
struct IoProgress {
    enum class Activity { Printing, Loading, Reading, Writing, Connecting };
    Activity activity = Activity::Writing;
    std::u16string_view name; // "COM3" or a file's name
    // What a port is being connected to: "network printer 10.0.0.5:9100".
    std::u16string_view target;
    std::uint64_t done = 0;  // bytes
    std::uint64_t total = 0; // bytes; 0 or less than done when unknown
};

class IoWaitWatcher {
public:
    virtual ~IoWaitWatcher() = default;
    // Descriptors that become readable when the user does something (at most
    // two); a waiting call also wakes on them. Answers how many it filled in.
    virtual int inputDescriptors(int (&fds)[2]) = 0;
    // The call is still busy: show it and take the input that arrived.
    // Answers true when the user cancelled (or the program must stop). The
    // next redraw of the screen takes the report away again.
    virtual bool stillBusy(const IoProgress& progress) = 0;
};

// Installs the watcher (nullptr: none). The watcher outlives every call.
void SetIoWaitWatcher(IoWaitWatcher* watcher);

// How long an operation is busy before its first report (0.2 s), and how
// often reports follow (0.1 s). Tests shorten them to see reports without
// waiting for them.
void SetBusyTiming(std::chrono::milliseconds showAfter, std::chrono::milliseconds reportEvery);

// The watch over one busy operation: a single call, or a run of quick calls
// on one object (the reads of a file being loaded), which count as one so
// that a long load shows and can be cancelled like a stalled write. Cheap to
// ask often: it reads the clock and reports to the watcher only once the
// operation has been busy long enough, then at most every 0.1 s.
class BusyWatch {
public:
    using Clock = std::chrono::steady_clock;

    // Starts a new operation unless the last call on it ended just now.
    void begin();
    // Marks the end of a call of the operation.
    void end() { lastEnd_ = Clock::now(); }

    // A report is due: the caller may work out its progress and check.
    bool due() const;
    // Answers false when the user cancelled; the caller then fails with
    // ERROR_OPERATION_ABORTED.
    bool check(const IoProgress& progress);
    // Waits until fd is ready for events (POLLIN or POLLOUT) or has failed,
    // checking in while it waits. Answers false when cancelled.
    bool waitFor(int fd, short events, const IoProgress& progress);

    enum class Outcome { Ready, Cancelled, TimedOut };
    // waitFor with a limit: a wait that lasts until deadline gives up.
    Outcome waitUntil(int fd, short events, const IoProgress& progress, Clock::time_point deadline);

private:
    bool report(IoWaitWatcher& watcher, const IoProgress& progress);

    Clock::time_point lastEnd_{};
    Clock::time_point nextReport_ = Clock::time_point::max();
    bool shown_ = false;
};

} // namespace kernel32
