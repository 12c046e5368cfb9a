// A printer that takes bytes and only counts them, for loads too large to
// keep (the benchmarks) and for pacing a writer: on a pseudo-terminal or as a
// network printer on loopback, reading as fast as the line gives or dripping,
// a few bytes at a time and slowly, so that a writer is never stalled for
// long and yet far from done for a long while.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace testing_support {

class CountingPrinter {
public:
    enum class Line { PseudoTerminal, Tcp };
    enum class Pace { AsFastAsItComes, Dripping };

    explicit CountingPrinter(Line line = Line::PseudoTerminal, Pace pace = Pace::AsFastAsItComes);
    ~CountingPrinter();
    CountingPrinter(const CountingPrinter&) = delete;
    CountingPrinter& operator=(const CountingPrinter&) = delete;

    // What a device-table link names: the pseudo-terminal, or
    // "tcp:127.0.0.1:PORT".
    const std::string& path() const { return path_; }

    std::uint64_t Received() const;
    // Waits (bounded) until total bytes have come in all.
    bool WaitFor(std::uint64_t total, std::chrono::milliseconds timeout = std::chrono::seconds(5));

private:
    void Listen();
    bool Accept();
    void ReadLoop();
    // Waits for the line or the stop: false once told to stop or the line ended.
    bool WaitReadable();

    Pace pace_;
    int master_ = -1;
    int slave_ = -1;
    int listener_ = -1;
    int stop_[2] = {-1, -1};
    std::string path_;
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::uint64_t received_ = 0;
    std::thread reader_;
};

} // namespace testing_support
