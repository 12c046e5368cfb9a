// Test fixtures for real serial traffic: a printer on a pseudo-terminal whose
// slave is the port, a private device table that links COMn to it, and the
// descriptor the program holds on it.
#pragma once

#include "tests/support/bytes.h"
#include "tests/support/temp_folder.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace testing_support {

using Clock = std::chrono::steady_clock;

// A pseudo-terminal pair, read from the master by a thread that records every
// chunk with its arrival time. The printer keeps its own slave descriptor
// open so that the line stays up while the program closes and reopens the
// port. It can stall (read nothing, so that what the program writes piles up
// in the line's buffers until a write blocks) and vanish (close the master,
// so that the line hangs up and further writes fail). It reads as fast as it
// can, or at a serial line's pace (ReadAtBaud), so that a job takes as long
// as on a real printer; and it can pause in the middle of a job.
class PtyPrinter {
public:
    enum class Start { Reading, Stalled };

    explicit PtyPrinter(Start start = Start::Reading);
    ~PtyPrinter();
    PtyPrinter(const PtyPrinter&) = delete;
    PtyPrinter& operator=(const PtyPrinter&) = delete;

    const std::string& path() const { return path_; }
    int slave_fd() const { return slave_; }

    // Everything read from the master so far, markers included.
    Bytes Received() const;
    std::size_t ReceivedSize() const;
    // When the byte at offset (from the start of the stream) was read; bytes
    // read together share their time.
    Clock::time_point ArrivalOf(std::size_t offset) const;

    // Waits (bounded) until at least n bytes have arrived.
    bool WaitForBytes(std::size_t n, std::chrono::milliseconds timeout = std::chrono::seconds(10));

    // Everything the program wrote since the last Drain: writes a marker on
    // the printer's own slave descriptor and waits for it, so that bytes still
    // in flight are counted without sleeping. Answers what came before it.
    Bytes Drain();

    // Stalled: waits (bounded) until bytes are waiting on the line and their
    // number has stopped changing for a while, that is every buffer between
    // writer and reader is full. Answers how many the reader could take at once.
    std::size_t WaitUntilFull(std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Starts reading (a stalled printer), and keeps reading until it vanishes.
    void Resume();

    // Reads no faster than a line of that many baud carries 8E1 bytes, in
    // steps of 10 ms; 0 reads as fast as the pseudo-terminal gives.
    void ReadAtBaud(unsigned baud);
    // Once n bytes have come, reads nothing for that long, then goes on: a
    // printer busy with its paper, or out of it for a moment.
    void PauseAfter(std::size_t n, std::chrono::milliseconds pause);
    // The pause has begun (bounded wait).
    bool WaitPaused(std::chrono::milliseconds timeout = std::chrono::seconds(30));

    // The printer vanishes: reading stops and the master closes.
    void Vanish();
    // The reader itself makes the printer vanish as soon as n bytes have come,
    // in the middle of whatever the program is sending.
    void VanishAfter(std::size_t n);
    bool WaitVanished(std::chrono::milliseconds timeout = std::chrono::seconds(5));

private:
    void ReadLoop();
    // Waits up to the pause or the stop: false when told to stop.
    bool Rest(std::chrono::milliseconds duration) const;

    int master_ = -1;
    int slave_ = -1;
    int stop_[2] = {-1, -1};
    std::string path_;
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    Bytes bytes_;
    std::vector<std::pair<std::size_t, Clock::time_point>> arrivals_; // chunk start, time
    std::size_t drained_ = 0;
    std::size_t vanish_after_ = 0; // 0: never
    bool vanished_ = false;
    unsigned baud_ = 0; // 0: as fast as it comes
    std::size_t pause_after_ = 0;
    std::chrono::milliseconds pause_{0};
    bool paused_ = false;
    std::thread reader_;
};

// The descriptor this process holds on the port besides the printer's own
// slave descriptor (the program's connection), or -1. Tests put another file
// under it with dup2 to make the connection's writes fail in chosen ways.
int ProgramDescriptorOn(const PtyPrinter& printer);

// A private device table for the test: sets TALLYROLL_DEVICES to a fresh
// folder and restores the old value when done.
class DeviceTable {
public:
    DeviceTable();
    ~DeviceTable();
    DeviceTable(const DeviceTable&) = delete;
    DeviceTable& operator=(const DeviceTable&) = delete;

    const std::string& folder() const { return folder_.path(); }
    void Link(int nPort, const std::string& target) const;
    void Unlink(int nPort) const;

private:
    TempFolder folder_{"tallyroll-devices"};
    std::string saved_;
    bool had_saved_ = false;
};

} // namespace testing_support
