// Kernel objects behind HANDLE values. A HANDLE is a token issued by this
// table, never a file descriptor: a stale or forged handle is looked up and
// refused with ERROR_INVALID_HANDLE instead of touching whatever descriptor
// happens to carry that number now.
#pragma once

#include "platform/posix/io_wait.h"
#include "platform/win32/comm.h"
#include "platform/win32/types.h"

#include <memory>
#include <mutex>
#include <string>

namespace posix_layer {

enum class ObjectKind { File, Port };

// One open file or port. The descriptor is closed when the last user lets go,
// so a call still running on another thread keeps a valid descriptor even if
// the handle is closed meanwhile.
class OpenObject {
public:
    OpenObject(int fd, ObjectKind kind) : fd_(fd), kind_(kind) {}
    ~OpenObject();
    OpenObject(const OpenObject&) = delete;
    OpenObject& operator=(const OpenObject&) = delete;

    int fd() const { return fd_; }
    ObjectKind kind() const { return kind_; }
    bool IsPort() const { return kind_ == ObjectKind::Port; }

    // Port state that termios does not hold.
    struct PortState {
        COMMTIMEOUTS timeouts{};
        DWORD dtrControl = DTR_CONTROL_ENABLE;
        DWORD rtsControl = RTS_CONTROL_ENABLE;
    };
    PortState port() const;
    void set_port(const PortState& state);

    // What the user knows the object by ("COM3", "notes.txt"), for the
    // report of a call that keeps them waiting.
    std::u16string label;
    // The run of reads a load makes, watched as one operation. Used only by
    // the one thread that reads the object.
    BusyWatch reads;

private:
    int fd_;
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

} // namespace posix_layer
