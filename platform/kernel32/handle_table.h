// Kernel objects behind HANDLE values. A HANDLE is a token issued by this
// table, never a file descriptor: a stale or forged handle is looked up and
// refused with ERROR_INVALID_HANDLE instead of touching whatever descriptor
// happens to carry that number now.
#pragma once

#include "platform/kernel32/io_wait.h"
#include "platform/win32/comm.h"
#include "platform/win32/types.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace kernel32 {

// A port is a serial device whose settings go to the line (termios); a socket
// port is a network or Bluetooth printer's connection, whose settings are
// only remembered, as a Bluetooth virtual COM port of the original platform
// does.
enum class ObjectKind { File, Port, SocketPort };

// One open file or port. The descriptor is closed when the last user lets go,
// so a call still running on another thread keeps a valid descriptor even if
// the handle is closed meanwhile.
class OpenObject {
public:
    // heldFd: a descriptor that only has to stay open as long as the object
    // (the claim on a socket port), or -1.
    OpenObject(int fd, ObjectKind kind, int heldFd = -1) : fd_(fd), heldFd_(heldFd), kind_(kind) {}
    ~OpenObject();
    OpenObject(const OpenObject&) = delete;
    OpenObject& operator=(const OpenObject&) = delete;

    int fd() const { return fd_; }
    ObjectKind kind() const { return kind_; }
    bool isPort() const { return kind_ != ObjectKind::File; }
    bool isSocket() const { return kind_ == ObjectKind::SocketPort; }

    // Port state that termios does not hold; on a socket port, all of it.
    struct PortState {
        COMMTIMEOUTS timeouts{};
        DWORD dtrControl = DTR_CONTROL_ENABLE;
        DWORD rtsControl = RTS_CONTROL_ENABLE;
        DCB settings{};    // socket ports only
        DWORD inQueue = 0; // socket ports only: as SetupComm gave them
        DWORD outQueue = 0;
    };
    PortState port() const;
    void setPort(const PortState& state);

    // What the user knows the object by ("COM3", "notes.txt"), for the
    // report of a call that keeps them waiting.
    std::u16string label;
    // A socket port's way back to its printer: a new connection to the same
    // address (the claim stays with this object), answered as a descriptor,
    // or -1 with the error. Empty for everything else.
    std::function<int(DWORD& error)> connectAgain;
    // The run of reads a load makes, watched as one operation. Used only by
    // the one thread that reads the object.
    BusyWatch reads;
    // The print job a run of writes belongs to, as the program announced it
    // (AnnounceWriteTotal): the bytes it carries in all, and how many of them
    // earlier writes sent. Used only by the one thread that writes the port.
    struct WriteJob {
        std::uint64_t total = 0;
        std::uint64_t sent = 0;
    };
    WriteJob job;

private:
    int fd_;
    int heldFd_;
    ObjectKind kind_;
    mutable std::mutex mutex_;
    PortState port_;
};

using ObjectRef = std::shared_ptr<OpenObject>;

// Issues a handle for object.
HANDLE InsertObject(ObjectRef object);
// The object behind h, or nullptr (and ERROR_INVALID_HANDLE as last error).
ObjectRef FindObject(HANDLE h);
// Withdraws h; answers the object, or nullptr (and ERROR_INVALID_HANDLE).
ObjectRef RemoveObject(HANDLE h);

} // namespace kernel32
