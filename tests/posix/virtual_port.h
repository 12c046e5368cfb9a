// Test fixtures for real serial traffic: a pseudo-terminal whose slave is
// the port, read from the master by a thread that records every chunk with
// its arrival time; a private device table that links COMn to it; a
// recorder of message boxes.
#pragma once

#include "platform/win32/types.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

// A pseudo-terminal pair. The fixture keeps its own slave descriptor open so
// that the line stays up while the program closes and reopens the port.
class VirtualPort {
public:
    VirtualPort();
    ~VirtualPort();
    VirtualPort(const VirtualPort&) = delete;
    VirtualPort& operator=(const VirtualPort&) = delete;

    const std::string& path() const { return path_; }
    int slave_fd() const { return slave_; }

    // Everything read from the master so far, markers included.
    Bytes Received() const;
    // When the byte at offset (from the start of the stream) was read; bytes
    // read together share their time.
    Clock::time_point ArrivalOf(std::size_t offset) const;

    // Waits (bounded) until at least n bytes have arrived.
    bool WaitForBytes(std::size_t n, std::chrono::milliseconds timeout = std::chrono::seconds(5));

    // Everything the program wrote since the last Drain: writes a marker on
    // the test's own slave descriptor and waits for it, so that bytes still in
    // flight are counted without sleeping. Answers what came before it.
    Bytes Drain();

    // The printer vanishes: reading stops and the master closes, so that the
    // line hangs up and further writes fail.
    void Vanish();
    // The reader itself makes the printer vanish as soon as n bytes have come,
    // in the middle of whatever the program is sending.
    void VanishAfter(std::size_t n);
    bool WaitVanished(std::chrono::milliseconds timeout = std::chrono::seconds(5));

private:
    void ReadLoop();

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
    std::thread reader_;
};

// The descriptor this process holds on the port besides the fixture's own
// slave descriptor (the program's connection), or -1. Tests put another file
// under it with dup2 to make the connection's writes fail in chosen ways.
int ProgramDescriptorOn(const VirtualPort& port);

// A private device table for the test: sets TALLYROLL_DEVICES to a fresh
// folder and restores the old value when done.
class DeviceTable {
public:
    DeviceTable();
    ~DeviceTable();
    DeviceTable(const DeviceTable&) = delete;
    DeviceTable& operator=(const DeviceTable&) = delete;

    const std::string& folder() const { return folder_; }
    void Link(int nPort, const std::string& target) const;
    void Unlink(int nPort) const;

private:
    std::string folder_;
    std::string saved_;
    bool had_saved_ = false;
};

// Records every message box shown while it lives.
struct RecordedBox {
    HWND owner;
    std::u16string text;
    std::u16string caption;
    UINT type;
};

class MessageBoxRecorder {
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    std::vector<RecordedBox> Boxes() const;
    std::vector<std::u16string> Texts() const;
};

// Bytes from a list of values or from a string's characters.
Bytes ToBytes(std::initializer_list<int> values);
Bytes ToBytes(const std::string& s);
// Concatenation, for expected streams written piece by piece.
Bytes Join(std::initializer_list<Bytes> parts);

} // namespace testing_support
