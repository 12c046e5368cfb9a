#pragma once

#include <memory>
#include <string>

namespace vprinter {

// The line settings a writer left on the port, as far as a pseudo-terminal
// keeps them (it drops parity and has no modem lines).
struct PortSettings {
    unsigned speed = 0;
    int data_bits = 8;
    bool two_stop_bits = false;
    bool ixon = false;  // output paused by XOFF
    bool ixoff = false; // input flow control
    bool crtscts = false;
    bool raw = false; // no echo, no line editing, no output processing
};

// The printer's end of a serial line: a pseudo-terminal whose other end is
// the device a program opens as its COM port.
//
// The slave end stays open here for the life of the port, so that a writer
// closing it does not hang the line up: reads keep blocking quietly between
// jobs and the device keeps its settings. A writer that asked for exclusive
// use (TIOCEXCL) leaves that mark on the shared terminal when it closes, and
// because this end stays open the kernel never clears it; the next open
// would fail with EBUSY. So the port watches the device for closes and
// clears the mark when a writer leaves.
//
// Programs reach the device through link_path(), /proc/<pid>/fd/<n>: the
// slave as this process holds it. That path exists only while this process
// does, so a link to it can never lead to a terminal that somebody else gets
// after this printer is gone (the /dev/pts/N name is handed out again).
class PtyPort {
public:
    // `descriptor`: the number the slave is kept at when it is free, so that
    // printers on different ports hold different numbers; any free number
    // otherwise.
    static std::unique_ptr<PtyPort> open(int descriptor, std::string* error);
    ~PtyPort();
    PtyPort(const PtyPort&) = delete;
    PtyPort& operator=(const PtyPort&) = delete;

    int master() const { return master_; }
    // -1 when the kernel offers no file watching; exclusivity then stays.
    int watch() const { return watch_; }
    const std::string& device() const { return device_; } // /dev/pts/N
    std::string link_path() const;

    struct Activity {
        int opened = 0;
        int closed = 0;
    };
    // Consumes the pending open and close notices of the device and clears
    // a writer's exclusive mark when one has closed.
    Activity take_activity();
    PortSettings settings() const;

private:
    PtyPort() = default;

    int master_ = -1;
    int slave_ = -1;
    int watch_ = -1;
    std::string device_;
};

} // namespace vprinter
