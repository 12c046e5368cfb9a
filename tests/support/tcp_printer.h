// A network printer on loopback for tests: a listening TCP socket that takes
// one connection at a time, as a printer's raw port does, and records every
// byte of every connection in arrival order. It can stop reading (the
// program's writes then pile up and wait), hang up after a number of bytes,
// and answer with bytes of its own.
#pragma once

#include "tests/support/bytes.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

class TcpPrinter {
public:
    // Listens on address (127.0.0.1 or ::1) at a port the system picks.
    // receiveBuffer > 0 makes the printer's buffer that small, so that a
    // printer that stops reading holds little.
    explicit TcpPrinter(const std::string& address = "127.0.0.1", int receiveBuffer = 0);
    ~TcpPrinter();
    TcpPrinter(const TcpPrinter&) = delete;
    TcpPrinter& operator=(const TcpPrinter&) = delete;

    bool listening() const { return listener_ != -1; }
    std::uint16_t port() const { return port_; }
    // What a device-table link names: "tcp:127.0.0.1:PORT", "tcp:[::1]:PORT".
    std::string target() const;

    Bytes Received() const;
    bool WaitForBytes(std::size_t n, std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Connections accepted so far.
    int Connections() const;
    bool WaitForConnections(int n, std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Whether the connection of the moment has been closed by the program.
    bool WaitForClose(std::chrono::milliseconds timeout = std::chrono::seconds(10));

    // Stops reading, or starts again.
    void Stall(bool stalled);
    // Closes the connection of the moment once n bytes (counted over all
    // connections) have arrived, with what is unread still in its buffer:
    // the program's next writes fail.
    void HangUpAfter(std::size_t n);
    // Closes the connection of the moment in good order, after taking every
    // byte that has arrived, as a printer does with a connection left idle.
    void CloseIdleConnection();
    // Sends bytes to the program on the connection of the moment.
    bool Answer(const Bytes& bytes);

private:
    void Loop();
    void CloseIfIdleAsked(std::vector<std::uint8_t>& buffer);
    void Wake() const;

    int listener_ = -1;
    int connection_ = -1; // guarded by mutex_ for Answer; changed by the loop only
    int wake_[2] = {-1, -1};
    std::uint16_t port_ = 0;
    std::string address_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    Bytes bytes_;
    int connections_ = 0;
    int closes_ = 0;
    bool stalled_ = false;
    bool stopping_ = false;
    bool close_idle_ = false;
    std::size_t hang_up_after_ = 0; // 0: never
    std::thread loop_;
};

// A printer that never answers a connection: a listener whose backlog is
// full, so that the system drops further connection requests and a connect
// neither succeeds nor fails until it gives up.
class SilentListener {
public:
    SilentListener();
    ~SilentListener();
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;

    bool ok() const { return ok_; }
    std::uint16_t port() const { return port_; }
    std::string target() const { return "tcp:127.0.0.1:" + std::to_string(port_); }

private:
    int listener_ = -1;
    int filler_ = -1;
    std::uint16_t port_ = 0;
    bool ok_ = false;
};

// A loopback port where nothing listens (one just released by the system).
std::uint16_t UnusedLoopbackPort();

} // namespace testing_support
