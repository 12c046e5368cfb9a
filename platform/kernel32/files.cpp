// Files and devices by name: CreateFileW, ReadFile, WriteFile, CloseHandle,
// GetFileSize, SetFilePointer; and AnnounceWriteTotal, the whole of a job
// that a run of port writes belongs to.
#include "platform/kernel32/dcb_termios.h"
#include "platform/kernel32/device_table.h"
#include "platform/kernel32/errno_map.h"
#include "platform/kernel32/handle_table.h"
#include "platform/kernel32/port_open.h"
#include "platform/kernel32/slice_timer.h"
#include "platform/kernel32/socket_port.h"
#include "platform/text/path_text.h"
#include "platform/text/unicode.h"
#include "platform/win32/kernel.h"
#include "platform/win32/write_progress.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <string>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using kernel32::ObjectRef;

int AccessFlags(DWORD access) {
    const bool read = (access & GENERIC_READ) != 0;
    const bool write = (access & GENERIC_WRITE) != 0;
    return read && write ? O_RDWR : write ? O_WRONLY : O_RDONLY;
}

bool DispositionFlags(DWORD disposition, int& flags) {
    switch (disposition) {
    case CREATE_NEW:
        flags = O_CREAT | O_EXCL;
        return true;
    case CREATE_ALWAYS:
        flags = O_CREAT | O_TRUNC;
        return true;
    case OPEN_EXISTING:
        flags = 0;
        return true;
    case OPEN_ALWAYS:
        flags = O_CREAT;
        return true;
    default:
        return false;
    }
}

ObjectRef FailFile(int fd, DWORD error) {
    ::close(fd);
    SetLastError(error);
    return nullptr;
}

ObjectRef OpenFileByPath(const std::string& path, int flags, DWORD shareMode) {
    // A Win32 file name names a file: folders, pipes and devices live in
    // namespaces of their own there. Refusing them before the open also keeps
    // a device node from ever being opened as a file.
    struct stat before {};
    if (::stat(path.c_str(), &before) == 0 && !S_ISREG(before.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    // Non-blocking for the open only: a FIFO put in place after the check
    // would otherwise wait for a peer.
    int fd = -1;
    do {
        fd = ::open(path.c_str(), flags | O_NOCTTY | O_NONBLOCK | O_CLOEXEC, 0666);
    } while (fd == -1 && errno == EINTR);
    if (fd == -1) {
        kernel32::SetLastErrorFromOpenErrno(errno);
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) == -1) {
        return FailFile(fd, kernel32::Win32ErrorFromErrno(errno));
    }
    if (!S_ISREG(st.st_mode)) {
        return FailFile(fd, ERROR_ACCESS_DENIED);
    }
    // Share mode 0 keeps other openers out; a shared open only keeps out an
    // exclusive one. Only openers that lock (this layer) are affected.
    const int lock = (shareMode == 0 ? LOCK_EX : LOCK_SH) | LOCK_NB;
    if (::flock(fd, lock) == -1 && errno == EWOULDBLOCK) {
        return FailFile(fd, ERROR_SHARING_VIOLATION);
    }
    const int status = ::fcntl(fd, F_GETFL);
    if (status == -1 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) == -1) {
        return FailFile(fd, kernel32::Win32ErrorFromErrno(errno));
    }
    return std::make_shared<kernel32::OpenObject>(fd, kernel32::ObjectKind::File);
}

std::u16string LabelFor(std::u16string_view name, bool port) {
    if (port) {
        return std::u16string(name.substr(0, name.find(u':')));
    }
    const std::size_t slash = name.find_last_of(u'/');
    return std::u16string(slash == std::u16string_view::npos ? name : name.substr(slash + 1));
}

// Answers false when the user cancelled the load this read belongs to.
bool LoadGoesOn(kernel32::OpenObject& file) {
    kernel32::BusyWatch& reads = file.reads;
    reads.begin();
    if (!reads.due()) {
        return true;
    }
    struct stat st {};
    const off_t at = ::lseek(file.fd(), 0, SEEK_CUR);
    kernel32::IoProgress progress;
    progress.activity = kernel32::IoProgress::Activity::Loading;
    progress.name = file.label;
    progress.done = at > 0 ? static_cast<std::uint64_t>(at) : 0;
    progress.total = ::fstat(file.fd(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    return reads.check(progress);
}

// One attempt to write without waiting. A socket is sent to with
// MSG_NOSIGNAL: a printer that closed its end answers EPIPE, whatever the
// process does with SIGPIPE.
ssize_t WriteSome(const kernel32::OpenObject& port, const BYTE* bytes, std::size_t count) {
    if (port.isSocket()) {
        return ::send(port.fd(), bytes, count, MSG_NOSIGNAL | MSG_DONTWAIT);
    }
    return ::write(port.fd(), bytes, count);
}

// The moment a wait of a socket port's call gives up, from its time-out.
kernel32::BusyWatch::Clock::time_point DeadlineAfter(const kernel32::ReadPlan::Limit& limit) {
    using Clock = kernel32::BusyWatch::Clock;
    return limit ? Clock::now() + *limit : Clock::time_point::max();
}

// Whether a write of count bytes belongs to the job the program announced:
// one is under way and has room for them.
bool InJob(const kernel32::OpenObject& port, std::size_t count) {
    const kernel32::OpenObject::WriteJob& job = port.job;
    return job.sent < job.total && count <= job.total - job.sent;
}

// What a write that keeps the user waiting reports: count bytes to a port,
// or the whole job they belong to. Its done count comes from JobDone.
kernel32::IoProgress PrintingProgress(const kernel32::OpenObject& port, std::size_t count) {
    kernel32::IoProgress progress;
    progress.activity = kernel32::IoProgress::Activity::Printing;
    progress.name = port.label;
    progress.total = InJob(port, count) ? port.job.total : count;
    return progress;
}

// The bytes a report counts as done: this call's, after those that the
// job's earlier writes sent.
std::uint64_t JobDone(const kernel32::OpenObject& port, std::size_t count, std::size_t done) {
    return (InJob(port, count) ? port.job.sent : 0) + done;
}

// A write of the announced job has ended: its bytes count, and the job ends
// with its last byte or a write that fell short.
void CountTowardsJob(kernel32::OpenObject& port, std::size_t asked, std::size_t written) {
    kernel32::OpenObject::WriteJob& job = port.job;
    if (job.sent >= job.total) {
        return;
    }
    job.sent += written;
    if (written < asked || job.sent >= job.total) {
        job = {};
    }
}

// How long a blocking write to a serial line may sleep before it comes back
// to look at the keys.
constexpr std::chrono::milliseconds kWriteSlice{50};

// Writes to a serial line in blocking writes, which cost the kernel far less
// than non-blocking ones and their waits: one write goes on as the printer
// takes the bytes. A slice timer brings it back now and then with what it
// wrote, so the user's keys are looked at; a slice in which nothing went
// out is a wait like any other, shown and cancellable. Answers the count
// written; error is set when it falls short.
std::size_t WriteToLine(kernel32::OpenObject& port, const BYTE* bytes, std::size_t count,
                        kernel32::SliceTimer& slices, DWORD& error) {
    error = ERROR_SUCCESS;
    const int fd = port.fd();
    kernel32::BusyWatch watch;
    watch.begin();
    kernel32::IoProgress progress = PrintingProgress(port, count);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(fd, bytes + done, count - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            progress.done = JobDone(port, count, done);
            // The report draws on the terminal: no slice may cut its writes.
            if (done < count && watch.due()) {
                slices.pause();
                const bool goOn = watch.check(progress);
                slices.resume();
                if (!goOn) {
                    error = ERROR_OPERATION_ABORTED;
                    break;
                }
            }
            continue;
        }
        if (n < 0 && errno != EINTR && errno != EAGAIN) {
            error = kernel32::Win32ErrorFromErrno(errno);
            break;
        }
        progress.done = JobDone(port, count, done);
        slices.pause();
        const auto outcome =
            watch.waitUntil(fd, POLLOUT, progress, kernel32::BusyWatch::Clock::time_point::max());
        slices.resume();
        if (outcome == kernel32::BusyWatch::Outcome::Cancelled) {
            error = ERROR_OPERATION_ABORTED;
            break;
        }
    }
    return done;
}

// Writes to a port: a serial line in blocking writes (above) wherever this
// thread can be interrupted; otherwise, and a socket port always, without
// blocking, waiting in between where the user can see the wait and cancel
// it. Answers the count written; error is set when it
// falls short (ERROR_OPERATION_ABORTED: the user cancelled; ERROR_SEM_TIMEOUT:
// a socket port's write time-out passed).
std::size_t WriteToPort(kernel32::OpenObject& port, const BYTE* bytes, std::size_t count,
                        DWORD& error) {
    if (!port.isSocket()) {
        kernel32::SliceTimer slices(kWriteSlice);
        if (slices.armed()) {
            return WriteToLine(port, bytes, count, slices, error);
        }
    }
    error = ERROR_SUCCESS;
    if (port.isSocket()) {
        error = kernel32::ReconnectIfPrinterClosed(port);
        if (error != ERROR_SUCCESS) {
            return 0;
        }
    }
    const int fd = port.fd();
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags == -1 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == -1) {
        error = kernel32::Win32ErrorFromErrno(errno);
        return 0;
    }
    // A serial port refuses write time-outs; only a socket port has them.
    const auto deadline = port.isSocket() ? DeadlineAfter(kernel32::WriteTimeLimit(
                                                port.port().timeouts, static_cast<DWORD>(count)))
                                          : kernel32::BusyWatch::Clock::time_point::max();
    kernel32::BusyWatch watch;
    watch.begin();
    kernel32::IoProgress progress = PrintingProgress(port, count);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = WriteSome(port, bytes + done, count - done);
        if (n >= 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EAGAIN) {
            error = kernel32::Win32ErrorFromErrno(errno);
            break;
        }
        progress.done = JobDone(port, count, done);
        const auto outcome = watch.waitUntil(fd, POLLOUT, progress, deadline);
        if (outcome == kernel32::BusyWatch::Outcome::Cancelled) {
            error = ERROR_OPERATION_ABORTED;
            break;
        }
        if (outcome == kernel32::BusyWatch::Outcome::TimedOut) {
            error = ERROR_SEM_TIMEOUT;
            break;
        }
    }
    (void)::fcntl(fd, F_SETFL, flags);
    return done;
}

// Reads from a socket port as its time-outs say, waiting where the user can
// see the wait and cancel it. A printer that closed its end reads as the
// end: what came before, perhaps nothing, as a hung-up serial line reads.
// Answers the count; error is set when the read failed.
std::size_t ReadFromSocket(kernel32::OpenObject& port, BYTE* buffer, std::size_t count,
                           DWORD& error) {
    using Clock = kernel32::BusyWatch::Clock;
    error = ERROR_SUCCESS;
    const kernel32::ReadPlan plan =
        kernel32::PlanRead(port.port().timeouts, static_cast<DWORD>(count));
    const Clock::time_point end = DeadlineAfter(plan.total);
    kernel32::BusyWatch watch;
    watch.begin();
    kernel32::IoProgress progress;
    progress.activity = kernel32::IoProgress::Activity::Reading;
    progress.name = port.label;
    progress.total = count;
    std::size_t done = 0;
    Clock::time_point lastByte{};
    while (done < count) {
        const ssize_t n = ::recv(port.fd(), buffer + done, count - done, MSG_DONTWAIT);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            lastByte = Clock::now();
            continue;
        }
        if (n == 0) {
            break;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EAGAIN) {
            if (done == 0) {
                error = kernel32::Win32ErrorFromErrno(errno);
            }
            break; // keep what arrived; the next read reports the error
        }
        if (plan.atOnce || (plan.firstByteEnds && done > 0)) {
            break;
        }
        Clock::time_point deadline = end;
        if (plan.interval && done > 0) {
            deadline = std::min(deadline, lastByte + *plan.interval);
        }
        progress.done = done;
        const auto outcome = watch.waitUntil(port.fd(), POLLIN, progress, deadline);
        if (outcome == kernel32::BusyWatch::Outcome::Cancelled) {
            error = ERROR_OPERATION_ABORTED;
            break;
        }
        if (outcome == kernel32::BusyWatch::Outcome::TimedOut) {
            break; // a time-out ends a read with what came, as on Win32
        }
    }
    return done;
}

// One read, continued after EINTR. Answers the count or -1 with errno set.
ssize_t ReadOnce(int fd, BYTE* buffer, std::size_t count) {
    ssize_t n = -1;
    do {
        n = ::read(fd, buffer, count);
    } while (n == -1 && errno == EINTR);
    return n;
}

} // namespace

HANDLE CreateFileW(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                   LPSECURITY_ATTRIBUTES, DWORD dwCreationDisposition, DWORD,
                   HANDLE hTemplateFile) {
    const int access = AccessFlags(dwDesiredAccess);
    int disposition = 0;
    if (lpFileName == nullptr || hTemplateFile != nullptr ||
        !DispositionFlags(dwCreationDisposition, disposition)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    const std::u16string_view name(lpFileName);
    ObjectRef object;
    if (const auto link = kernel32::PortLinkName(name)) {
        // A port exists or it does not: the disposition cannot create one.
        object = kernel32::OpenPortDevice(*link, access);
    } else {
        object = OpenFileByPath(text::PathToBytes(name), access | disposition, dwShareMode);
    }
    if (!object) {
        return INVALID_HANDLE_VALUE;
    }
    object->label = LabelFor(name, object->isPort());
    return kernel32::InsertObject(std::move(object));
}

BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
              LPDWORD lpNumberOfBytesRead, LPOVERLAPPED lpOverlapped) {
    if (lpNumberOfBytesRead != nullptr) {
        *lpNumberOfBytesRead = 0;
    }
    const ObjectRef object = kernel32::FindObject(hFile);
    if (!object) {
        return FALSE;
    }
    if (lpOverlapped != nullptr || (lpBuffer == nullptr && nNumberOfBytesToRead != 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto* buffer = static_cast<BYTE*>(lpBuffer);
    if (object->isSocket()) {
        DWORD error = ERROR_SUCCESS;
        const std::size_t got = ReadFromSocket(*object, buffer, nNumberOfBytesToRead, error);
        if (lpNumberOfBytesRead != nullptr) {
            *lpNumberOfBytesRead = static_cast<DWORD>(got);
        }
        if (error != ERROR_SUCCESS) {
            SetLastError(error);
            return FALSE;
        }
        return TRUE;
    }
    struct EndOfCall {
        kernel32::BusyWatch& reads;
        ~EndOfCall() { reads.end(); }
    } endOfCall{object->reads};
    if (!object->isPort() && !LoadGoesOn(*object)) {
        SetLastError(ERROR_OPERATION_ABORTED);
        return FALSE;
    }
    // A port whose time-outs say "answer at once" gets one read; otherwise a
    // read fills the whole count or stops at the end of the file.
    const bool once = object->isPort() && kernel32::ReadsReturnAtOnce(object->port().timeouts);
    std::size_t done = 0;
    while (done < nNumberOfBytesToRead) {
        const ssize_t n = ReadOnce(object->fd(), buffer + done, nNumberOfBytesToRead - done);
        if (n == -1) {
            if (done > 0) {
                break; // keep what arrived; the next read reports the error
            }
            kernel32::SetLastErrorFromErrno(errno);
            return FALSE;
        }
        done += static_cast<std::size_t>(n);
        if (n == 0 || once) {
            break;
        }
    }
    if (lpNumberOfBytesRead != nullptr) {
        *lpNumberOfBytesRead = static_cast<DWORD>(done);
    }
    return TRUE;
}

BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
               LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped) {
    if (lpNumberOfBytesWritten != nullptr) {
        *lpNumberOfBytesWritten = 0;
    }
    const ObjectRef object = kernel32::FindObject(hFile);
    if (!object) {
        return FALSE;
    }
    if (lpOverlapped != nullptr || (lpBuffer == nullptr && nNumberOfBytesToWrite != 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // Synchronous and complete: a signal can cut a large write short or
    // interrupt it before the first byte; both are continued. A port that
    // stops taking bytes keeps the call waiting where the user can cancel it.
    const auto* bytes = static_cast<const BYTE*>(lpBuffer);
    std::size_t done = 0;
    BOOL ok = TRUE;
    if (object->isPort()) {
        DWORD error = ERROR_SUCCESS;
        done = WriteToPort(*object, bytes, nNumberOfBytesToWrite, error);
        CountTowardsJob(*object, nNumberOfBytesToWrite, done);
        if (done < nNumberOfBytesToWrite) {
            SetLastError(error);
            ok = FALSE;
        }
    }
    while (ok && done < nNumberOfBytesToWrite) {
        const ssize_t n = ::write(object->fd(), bytes + done, nNumberOfBytesToWrite - done);
        if (n == -1) {
            if (errno == EINTR) {
                continue;
            }
            kernel32::SetLastErrorFromErrno(errno);
            ok = FALSE;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (lpNumberOfBytesWritten != nullptr) {
        *lpNumberOfBytesWritten = static_cast<DWORD>(done);
    }
    return ok;
}

BOOL AnnounceWriteTotal(HANDLE hFile, ULONGLONG total) {
    const ObjectRef object = kernel32::FindObject(hFile);
    if (!object) {
        return FALSE;
    }
    object->job = kernel32::OpenObject::WriteJob{total, 0};
    return TRUE;
}

BOOL CloseHandle(HANDLE hObject) {
    // The descriptor closes when the last call using it returns.
    return kernel32::RemoveObject(hObject) ? TRUE : FALSE;
}

DWORD GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh) {
    const ObjectRef object = kernel32::FindObject(hFile);
    if (!object) {
        return INVALID_FILE_SIZE;
    }
    if (object->kind() != kernel32::ObjectKind::File) {
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_FILE_SIZE;
    }
    struct stat st {};
    if (::fstat(object->fd(), &st) == -1) {
        kernel32::SetLastErrorFromErrno(errno);
        return INVALID_FILE_SIZE;
    }
    const auto size = static_cast<unsigned long long>(st.st_size);
    if (lpFileSizeHigh != nullptr) {
        *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
    }
    // A caller tells a size ending in 0xFFFFFFFF from a failure by the last error.
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(size & 0xFFFFFFFFu);
}

DWORD SetFilePointer(HANDLE hFile, LONG lDistanceToMove, PLONG lpDistanceToMoveHigh,
                     DWORD dwMoveMethod) {
    const ObjectRef object = kernel32::FindObject(hFile);
    if (!object) {
        return INVALID_SET_FILE_POINTER;
    }
    if (object->kind() != kernel32::ObjectKind::File) {
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_SET_FILE_POINTER;
    }
    // The distance is signed: 32 bits alone, or 64 bits from the two halves.
    long long distance = lDistanceToMove;
    if (lpDistanceToMoveHigh != nullptr) {
        const auto bits =
            (static_cast<unsigned long long>(static_cast<DWORD>(*lpDistanceToMoveHigh)) << 32) |
            static_cast<DWORD>(lDistanceToMove);
        distance = static_cast<long long>(bits);
    }
    // The new position is worked out first, so that a refused move leaves
    // the position where it was.
    off_t base = 0;
    switch (dwMoveMethod) {
    case FILE_BEGIN:
        break;
    case FILE_CURRENT:
        base = ::lseek(object->fd(), 0, SEEK_CUR);
        break;
    case FILE_END: {
        struct stat st {};
        base = ::fstat(object->fd(), &st) == 0 ? st.st_size : -1;
        break;
    }
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (base == -1) {
        kernel32::SetLastErrorFromErrno(errno);
        return INVALID_SET_FILE_POINTER;
    }
    long long target = 0;
    if (__builtin_add_overflow(static_cast<long long>(base), distance, &target)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (target < 0) {
        SetLastError(ERROR_NEGATIVE_SEEK);
        return INVALID_SET_FILE_POINTER;
    }
    if (lpDistanceToMoveHigh == nullptr && target > 0xFFFFFFFFLL) {
        SetLastError(ERROR_INVALID_PARAMETER); // the answer could not tell it
        return INVALID_SET_FILE_POINTER;
    }
    if (::lseek(object->fd(), static_cast<off_t>(target), SEEK_SET) == -1) {
        kernel32::SetLastErrorFromErrno(errno);
        return INVALID_SET_FILE_POINTER;
    }
    const auto position = static_cast<unsigned long long>(target);
    if (lpDistanceToMoveHigh != nullptr) {
        *lpDistanceToMoveHigh = static_cast<LONG>(static_cast<DWORD>(position >> 32));
    }
    // A caller tells a position ending in 0xFFFFFFFF from a failure by the last error.
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(position & 0xFFFFFFFFu);
}
