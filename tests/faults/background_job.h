// A print job on a thread of its own, so that the test can play the printer
// while the job is blocked on the line.
#pragma once

#include "engine/print_jobs.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <thread>

namespace faults {

class BackgroundJob {
public:
    explicit BackgroundJob(PrintJobHost& host)
        : done_(finished_.get_future()), thread_([this, &host] {
              RunPrintJob(host);
              finished_.set_value();
          }) {}

    // A job that never ends cannot be joined, and a test that waits for it
    // forever tells nothing: the process ends with a clear message instead.
    ~BackgroundJob() {
        if (!WaitFinished(std::chrono::seconds(30))) {
            (void)std::fputs("a print job is still blocked on a line nobody reads\n", stderr);
            std::abort();
        }
        thread_.join();
    }
    BackgroundJob(const BackgroundJob&) = delete;
    BackgroundJob& operator=(const BackgroundJob&) = delete;

    bool Finished() const { return WaitFinished(std::chrono::milliseconds(0)); }
    bool WaitFinished(std::chrono::milliseconds timeout = std::chrono::seconds(10)) const {
        return done_.wait_for(timeout) == std::future_status::ready;
    }

private:
    std::promise<void> finished_;
    std::future<void> done_;
    std::thread thread_;
};

} // namespace faults
