// A printer on a pseudo-terminal that reads nothing until told to: what the
// program writes piles up in the line's buffers until a write blocks. It can
// then resume reading, or disconnect with the writer still blocked.
#pragma once

#include "tests/posix/virtual_port.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>

namespace faults {

class StallingPrinter {
public:
    StallingPrinter();
    ~StallingPrinter();
    StallingPrinter(const StallingPrinter&) = delete;
    StallingPrinter& operator=(const StallingPrinter&) = delete;

    const std::string& path() const { return path_; }

    // Waits (bounded) until bytes are waiting on the line and their number
    // has stopped changing for a while: every buffer between writer and
    // reader is full. Answers how many the reader could take at once.
    std::size_t WaitUntilFull(std::chrono::milliseconds timeout = std::chrono::seconds(10));

    // Starts reading, and keeps reading until the printer is gone.
    void Resume();
    bool WaitForBytes(std::size_t n, std::chrono::milliseconds timeout = std::chrono::seconds(10));
    testing_support::Bytes Received() const;

    // Stops reading if it was and closes the master: the line hangs up.
    void Disconnect();

private:
    void ReadLoop();
    std::size_t Waiting() const;

    int master_ = -1;
    int slave_ = -1; // held so that the line outlives the program's closes
    int stop_[2] = {-1, -1};
    std::string path_;
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    testing_support::Bytes bytes_;
    std::thread reader_;
};

} // namespace faults
