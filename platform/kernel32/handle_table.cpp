#include "platform/kernel32/handle_table.h"

#include "platform/win32/kernel.h"

#include <cstdint>
#include <map>
#include <sys/ioctl.h>
#include <unistd.h>
#include <utility>

namespace kernel32 {

OpenObject::~OpenObject() {
    if (kind_ == ObjectKind::Port) {
        // TIOCEXCL outlives our descriptor while anyone else holds the tty
        // open; release it so that the next open of the port succeeds.
        ::ioctl(fd_, TIOCNXCL);
    }
    // Linux releases the descriptor even when close reports EINTR: no retry.
    ::close(fd_);
    if (heldFd_ != -1) {
        ::close(heldFd_);
    }
}

OpenObject::PortState OpenObject::port() const {
    std::lock_guard lock(mutex_);
    return port_;
}

void OpenObject::setPort(const PortState& state) {
    std::lock_guard lock(mutex_);
    port_ = state;
}

namespace {

// Handles start far above any descriptor number and advance in steps of 4
// (Win32 handles are multiples of 4). They are not reused until the counter
// wraps, so a handle closed long ago does not silently name a new object.
constexpr std::uintptr_t kFirstHandle = 0x54410000;
constexpr std::uintptr_t kHandleStep = 4;
constexpr std::uintptr_t kHandleSpan = 0x10000000;

class HandleTable {
public:
    HANDLE insert(ObjectRef object) {
        std::lock_guard lock(mutex_);
        std::uintptr_t value = 0;
        do {
            value = kFirstHandle + next_ * kHandleStep;
            next_ = (next_ + 1) % (kHandleSpan / kHandleStep);
        } while (objects_.contains(value));
        objects_.emplace(value, std::move(object));
        return reinterpret_cast<HANDLE>(value);
    }

    ObjectRef find(HANDLE h) {
        std::lock_guard lock(mutex_);
        const auto it = objects_.find(reinterpret_cast<std::uintptr_t>(h));
        return it == objects_.end() ? nullptr : it->second;
    }

    ObjectRef remove(HANDLE h) {
        std::lock_guard lock(mutex_);
        const auto it = objects_.find(reinterpret_cast<std::uintptr_t>(h));
        if (it == objects_.end()) {
            return nullptr;
        }
        ObjectRef object = std::move(it->second);
        objects_.erase(it);
        return object;
    }

private:
    std::mutex mutex_;
    std::uintptr_t next_ = 0;
    std::map<std::uintptr_t, ObjectRef> objects_;
};

HandleTable& Table() {
    static HandleTable table;
    return table;
}

} // namespace

HANDLE InsertObject(ObjectRef object) {
    return Table().insert(std::move(object));
}

ObjectRef FindObject(HANDLE h) {
    ObjectRef object = Table().find(h);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    return object;
}

ObjectRef RemoveObject(HANDLE h) {
    ObjectRef object = Table().remove(h);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    return object;
}

} // namespace kernel32
