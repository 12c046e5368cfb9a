#include "platform/kernel32/socket_port.h"

#include "platform/kernel32/errno_map.h"
#include "platform/kernel32/io_wait.h"
#include "platform/text/unicode.h"
#include "platform/win32/kernel.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <linux/sockios.h>
#include <memory>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <utility>

namespace kernel32 {
namespace {

using Clock = BusyWatch::Clock;
using namespace std::chrono_literals;

std::atomic<std::chrono::milliseconds> g_networkLimit{5s};
std::atomic<std::chrono::milliseconds> g_bluetoothLimit{10s};

// What the kernel may queue for the printer. Its own default grows to
// megabytes, and a write would then "finish" long before the printer took the
// bytes, with nothing left for the user to see or cancel; a serial line's
// driver holds about this much. The kernel doubles the figure.
constexpr int kSendQueue = 8 * 1024;

constexpr DWORD kMaxDword = 0xFFFFFFFF;

// A descriptor closed on every way out unless released.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ != -1) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int value() const { return fd_; }
    bool valid() const { return fd_ != -1; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

ObjectRef Fail(DWORD error) {
    SetLastError(error);
    return nullptr;
}

// Holds the printer for as long as the descriptor lives: an abstract unix
// socket bound to the printer's name. The kernel lets one socket hold a name
// and drops it when the process ends, however it ends; nothing is left on
// disk, and root is refused like anyone else. Answers -1 with the last error
// set when another opener holds it.
int ClaimPrinter(const SocketTarget& target) {
    const std::string name = ClaimName(target);
    Descriptor fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd.valid()) {
        SetLastErrorFromOpenErrno(errno);
        return -1;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, name.data(), name.size()); // sun_path[0] = 0: abstract
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    if (::bind(fd.value(), reinterpret_cast<const sockaddr*>(&address), length) == -1) {
        SetLastError(errno == EADDRINUSE ? ERROR_ACCESS_DENIED : Win32ErrorFromOpenErrno(errno));
        return -1;
    }
    return fd.release();
}

// A host name looked up on a thread of its own, so that a slow name service
// keeps the user waiting where they can see it and cancel it. A lookup the
// user gave up on finishes alone and frees what it found.
class Lookup {
public:
    using Addresses = std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)>;

    static DWORD Run(const TcpTarget& target, BusyWatch& watch, const IoProgress& progress,
                     Clock::time_point deadline, Addresses& found) {
        const std::string port = std::to_string(target.port);
        addrinfo hints{};
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_flags = AI_NUMERICSERV | AI_NUMERICHOST;
        addrinfo* list = nullptr;
        // An address needs no name service: no thread.
        if (::getaddrinfo(target.host.c_str(), port.c_str(), &hints, &list) == 0) {
            found.reset(list);
            return ERROR_SUCCESS;
        }
        auto state = std::make_shared<State>();
        if (::pipe2(state->done, O_CLOEXEC) == -1) {
            return Win32ErrorFromOpenErrno(errno);
        }
        hints.ai_flags = AI_NUMERICSERV;
        try {
            std::thread([state, host = target.host, port, hints] {
                addrinfo* result = nullptr;
                state->status = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &result);
                state->err = errno;
                state->list = result;
                state->finished.store(true, std::memory_order_release);
                const char byte = 1;
                (void)!::write(state->done[1], &byte, 1);
            }).detach();
        } catch (const std::system_error&) {
            return ERROR_NOT_ENOUGH_MEMORY;
        }
        while (!state->finished.load(std::memory_order_acquire)) {
            switch (watch.waitUntil(state->done[0], POLLIN, progress, deadline)) {
            case BusyWatch::Outcome::Cancelled:
                return ERROR_OPERATION_ABORTED;
            case BusyWatch::Outcome::TimedOut:
                return ERROR_SEM_TIMEOUT;
            case BusyWatch::Outcome::Ready:
                break;
            }
        }
        if (state->status != 0) {
            return Win32ErrorFromLookup(state->status, state->err);
        }
        found.reset(std::exchange(state->list, nullptr));
        return ERROR_SUCCESS;
    }

private:
    struct State {
        ~State() {
            if (list != nullptr) {
                ::freeaddrinfo(list);
            }
            for (int fd : done) {
                if (fd != -1) {
                    ::close(fd);
                }
            }
        }
        int done[2] = {-1, -1};
        int status = 0;
        int err = 0;
        addrinfo* list = nullptr;
        std::atomic<bool> finished{false};
    };
};

// One attempt at one address. Answers ERROR_SUCCESS with a connected fd, or
// the attempt's error.
DWORD ConnectOne(int fd, const sockaddr* address, socklen_t length, BusyWatch& watch,
                 const IoProgress& progress, Clock::time_point deadline) {
    if (::connect(fd, address, length) == 0) {
        return ERROR_SUCCESS;
    }
    // EINTR: the connection goes on by itself, as EINPROGRESS says.
    if (errno != EINPROGRESS && errno != EINTR) {
        return Win32ErrorFromConnectErrno(errno);
    }
    switch (watch.waitUntil(fd, POLLOUT, progress, deadline)) {
    case BusyWatch::Outcome::Cancelled:
        return ERROR_OPERATION_ABORTED;
    case BusyWatch::Outcome::TimedOut:
        return ERROR_SEM_TIMEOUT;
    case BusyWatch::Outcome::Ready:
        break;
    }
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == -1) {
        error = errno;
    }
    return error == 0 ? ERROR_SUCCESS : Win32ErrorFromConnectErrno(error);
}

int NewSocket(int family, int protocol) {
    const int fd = ::socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, protocol);
    if (fd != -1) {
        (void)::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &kSendQueue, sizeof kSendQueue);
    }
    return fd;
}

// Tries each address of the printer in turn within one time limit; answers
// the connected descriptor or -1 with the error of the last attempt.
int ConnectTcp(const TcpTarget& target, BusyWatch& watch, const IoProgress& progress,
               DWORD& error) {
    const Clock::time_point deadline = Clock::now() + g_networkLimit.load();
    Lookup::Addresses addresses(nullptr, &::freeaddrinfo);
    error = Lookup::Run(target, watch, progress, deadline, addresses);
    if (error != ERROR_SUCCESS) {
        return -1;
    }
    error = ERROR_BAD_NETPATH; // no address at all
    for (const addrinfo* a = addresses.get(); a != nullptr; a = a->ai_next) {
        Descriptor fd(NewSocket(a->ai_family, a->ai_protocol));
        if (!fd.valid()) {
            error = Win32ErrorFromConnectErrno(errno);
            continue;
        }
        error = ConnectOne(fd.value(), a->ai_addr, a->ai_addrlen, watch, progress, deadline);
        if (error == ERROR_SUCCESS) {
            // Each write leaves at once, as on a serial line: the lead-in
            // must reach the printer before the pause that follows it.
            const int on = 1;
            (void)::setsockopt(fd.value(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            return fd.release();
        }
        if (error == ERROR_OPERATION_ABORTED || error == ERROR_SEM_TIMEOUT) {
            break; // the user gave up, or the time is up for every address
        }
    }
    return -1;
}

int ConnectBluetooth(const BluetoothTarget& target, BusyWatch& watch, const IoProgress& progress,
                     DWORD& error) {
    const Clock::time_point deadline = Clock::now() + g_bluetoothLimit.load();
    Descriptor fd(NewSocket(kAfBluetooth, kBtProtoRfcomm));
    if (!fd.valid()) {
        error = Win32ErrorFromConnectErrno(errno);
        return -1;
    }
    const RfcommSocketAddress address = RfcommAddressOf(target);
    error = ConnectOne(fd.value(), reinterpret_cast<const sockaddr*>(&address), sizeof address,
                       watch, progress, deadline);
    return error == ERROR_SUCCESS ? fd.release() : -1;
}

// Connects to the printer, waiting where the user sees it ("Connecting COM4
// to ...") and can cancel it.
int Connect(const SocketTarget& target, const std::string& linkName, DWORD& error) {
    // The progress only points at these: they must outlive the wait.
    const std::u16string name = text::Utf8ToUtf16(linkName);
    const std::u16string description = text::Utf8ToUtf16(DescribeTarget(target));
    IoProgress progress;
    progress.activity = IoProgress::Activity::Connecting;
    progress.name = name;
    progress.target = description;
    BusyWatch watch;
    watch.begin();
    return std::holds_alternative<TcpTarget>(target)
               ? ConnectTcp(std::get<TcpTarget>(target), watch, progress, error)
               : ConnectBluetooth(std::get<BluetoothTarget>(target), watch, progress, error);
}

// Whether the printer ended the connection in good order (its end shut, no
// error pending) after taking every byte sent to it, so that nothing of a
// job is lost by going on over a new one. Looks without taking any byte the
// printer may have sent.
bool ClosedInGoodOrder(int fd) {
    pollfd look{fd, POLLIN | POLLRDHUP, 0};
    if (::poll(&look, 1, 0) != 1 || (look.revents & POLLERR) != 0) {
        return false;
    }
    bool shut = (look.revents & POLLRDHUP) != 0;
    if (!shut && (look.revents & POLLIN) != 0) {
        char byte = 0;
        shut = ::recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 0;
    }
    int unsent = 0;
    return shut && ::ioctl(fd, SIOCOUTQ, &unsent) == 0 && unsent == 0;
}

std::string Lowercase(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

std::optional<std::chrono::milliseconds> Milliseconds(std::uint64_t ms) {
    // MAXDWORD x MAXDWORD would overflow the clock: 34 years is "never" here.
    constexpr std::uint64_t kNever = std::uint64_t{1} << 40;
    return std::chrono::milliseconds(
        static_cast<std::chrono::milliseconds::rep>(std::min(ms, kNever)));
}

} // namespace

ObjectRef OpenSocketPort(const SocketTarget& target, const std::string& linkName) {
    // Claimed before connecting: a printer serves one connection at a time,
    // and a second opener must not take it from under the first.
    Descriptor claim(ClaimPrinter(target));
    if (!claim.valid()) {
        return nullptr;
    }
    DWORD error = ERROR_SUCCESS;
    const int fd = Connect(target, linkName, error);
    if (fd == -1) {
        return Fail(error);
    }
    auto object = std::make_shared<OpenObject>(fd, ObjectKind::SocketPort, claim.release());
    OpenObject::PortState state;
    state.settings = SocketPortDefaults();
    object->setPort(state);
    object->connectAgain = [target, linkName](DWORD& failure) {
        return Connect(target, linkName, failure);
    };
    return object;
}

DWORD ReconnectIfPrinterClosed(OpenObject& port) {
    if (!port.connectAgain || !ClosedInGoodOrder(port.fd())) {
        return ERROR_SUCCESS;
    }
    DWORD error = ERROR_SUCCESS;
    Descriptor fresh(port.connectAgain(error));
    if (!fresh.valid()) {
        // Cancelled: the user may try again. Anything else: the printer that
        // closed is not there any more, as a connection that died says.
        return error == ERROR_OPERATION_ABORTED ? error : ERROR_NETNAME_DELETED;
    }
    // The new connection takes the old one's descriptor number, so that the
    // handle and anyone holding the object see it at once.
    if (::dup3(fresh.value(), port.fd(), O_CLOEXEC) == -1) {
        return ERROR_NETNAME_DELETED;
    }
    return ERROR_SUCCESS;
}

void SetConnectTimeLimits(std::chrono::milliseconds network, std::chrono::milliseconds bluetooth) {
    g_networkLimit.store(network);
    g_bluetoothLimit.store(bluetooth);
}

DCB SocketPortDefaults() {
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    dcb.BaudRate = 9600;
    dcb.fBinary = 1;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fTXContinueOnXoff = 1;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    return dcb;
}

DWORD CheckRememberedSettings(const DCB& dcb) {
    const bool fiveBits = dcb.ByteSize == 5;
    const bool valid = dcb.BaudRate != 0 && dcb.ByteSize >= 5 && dcb.ByteSize <= 8 &&
                       dcb.Parity <= SPACEPARITY && dcb.StopBits <= TWOSTOPBITS &&
                       !(dcb.StopBits == ONE5STOPBITS && !fiveBits) &&
                       !(dcb.StopBits == TWOSTOPBITS && fiveBits) && dcb.XonChar != dcb.XoffChar;
    return valid ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
}

DWORD CheckRememberedTimeouts(const COMMTIMEOUTS& t) {
    const bool refused = t.ReadIntervalTimeout == kMaxDword &&
                         t.ReadTotalTimeoutMultiplier == kMaxDword &&
                         t.ReadTotalTimeoutConstant == kMaxDword;
    return refused ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
}

ReadPlan PlanRead(const COMMTIMEOUTS& t, DWORD count) {
    ReadPlan plan;
    if (t.ReadIntervalTimeout == kMaxDword && t.ReadTotalTimeoutMultiplier == 0 &&
        t.ReadTotalTimeoutConstant == 0) {
        plan.atOnce = true;
        return plan;
    }
    if (t.ReadIntervalTimeout == kMaxDword && t.ReadTotalTimeoutMultiplier == kMaxDword &&
        t.ReadTotalTimeoutConstant > 0 && t.ReadTotalTimeoutConstant < kMaxDword) {
        plan.firstByteEnds = true;
        plan.total = Milliseconds(t.ReadTotalTimeoutConstant);
        return plan;
    }
    if (t.ReadTotalTimeoutMultiplier != 0 || t.ReadTotalTimeoutConstant != 0) {
        plan.total = Milliseconds(std::uint64_t{t.ReadTotalTimeoutMultiplier} * count +
                                  t.ReadTotalTimeoutConstant);
    }
    if (t.ReadIntervalTimeout != 0) {
        plan.interval = Milliseconds(t.ReadIntervalTimeout);
    }
    return plan;
}

ReadPlan::Limit WriteTimeLimit(const COMMTIMEOUTS& t, DWORD count) {
    if (t.WriteTotalTimeoutMultiplier == 0 && t.WriteTotalTimeoutConstant == 0) {
        return std::nullopt;
    }
    return Milliseconds(std::uint64_t{t.WriteTotalTimeoutMultiplier} * count +
                        t.WriteTotalTimeoutConstant);
}

std::string ClaimName(const SocketTarget& target) {
    std::string key;
    if (const auto* tcp = std::get_if<TcpTarget>(&target)) {
        key = "tcp:" + Lowercase(tcp->host) + ":" + std::to_string(tcp->port);
    } else {
        const auto& bt = std::get<BluetoothTarget>(target);
        char text[32];
        (void)std::snprintf(text, sizeof text, "bt:%02X:%02X:%02X:%02X:%02X:%02X/%u", bt.address[0],
                            bt.address[1], bt.address[2], bt.address[3], bt.address[4],
                            bt.address[5], static_cast<unsigned>(bt.channel));
        key = text;
    }
    constexpr std::string_view kPrefix = "tallyroll/printer/";
    // An abstract name has room for 107 bytes; a long host name is hashed
    // (64-bit FNV-1a) to fit.
    constexpr std::size_t kRoom = sizeof(sockaddr_un::sun_path) - 1;
    if (kPrefix.size() + key.size() > kRoom) {
        std::uint64_t hash = 0xcbf29ce484222325ull;
        for (unsigned char c : key) {
            hash = (hash ^ c) * 0x100000001b3ull;
        }
        char text[24];
        (void)std::snprintf(text, sizeof text, "#%016llx", static_cast<unsigned long long>(hash));
        key = key.substr(0, kRoom - kPrefix.size() - 17) + text;
    }
    return std::string(kPrefix) + key;
}

} // namespace kernel32
