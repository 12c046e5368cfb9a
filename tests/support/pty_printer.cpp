#include "pty_printer.h"

#include "tools/vprinter/line_pace.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <iterator>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <sys/ioctl.h>
#include <unistd.h>

namespace testing_support {

namespace {

// Bytes the program never sends in this order; they end a Drain.
const Bytes kMarker = {0xFE, 0xFD, 'e', 'n', 'd', 0xFD, 0xFE};

void Check(bool ok, const char* what) {
    if (!ok) {
        throw std::runtime_error(std::string(what) + ": " + std::strerror(errno));
    }
}

} // namespace

PtyPrinter::PtyPrinter(Start start) {
    char name[256] = {};
    Check(::openpty(&master_, &slave_, name, nullptr, nullptr) == 0, "openpty");
    path_ = name;
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
    Check(::pipe2(stop_, O_CLOEXEC) == 0, "pipe2");
    if (start == Start::Reading) {
        Resume();
    }
}

PtyPrinter::~PtyPrinter() {
    Vanish();
    ::close(slave_);
    ::close(stop_[0]);
    ::close(stop_[1]);
}

void PtyPrinter::Resume() {
    if (!reader_.joinable()) {
        reader_ = std::thread([this] { ReadLoop(); });
    }
}

std::size_t PtyPrinter::WaitUntilFull(std::chrono::milliseconds timeout) {
    // The kernel moves bytes from the writer's side to the reader's in the
    // background: the count is only final once it has held still.
    constexpr auto kStep = std::chrono::milliseconds(5);
    constexpr int kStillSteps = 40;
    const auto deadline = Clock::now() + timeout;
    std::size_t last = 0;
    int still = 0;
    while (Clock::now() < deadline) {
        int waiting = 0;
        const std::size_t now =
            ::ioctl(master_, FIONREAD, &waiting) == 0 ? static_cast<std::size_t>(waiting) : 0;
        still = (now != 0 && now == last) ? still + 1 : 0;
        if (still == kStillSteps) {
            return now;
        }
        last = now;
        std::this_thread::sleep_for(kStep);
    }
    throw std::runtime_error("the line never filled up");
}

bool PtyPrinter::Rest(std::chrono::milliseconds duration) const {
    pollfd stop{stop_[0], POLLIN, 0};
    const auto until = Clock::now() + duration;
    for (auto left = duration; left.count() > 0;
         left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now())) {
        const int ready = ::poll(&stop, 1, static_cast<int>(left.count()));
        if (ready > 0) {
            return false;
        }
    }
    return true;
}

void PtyPrinter::ReadLoop() {
    std::vector<std::uint8_t> buffer(65536);
    vprinter::LinePace pace;
    const auto microseconds = [] {
        return std::chrono::duration_cast<std::chrono::microseconds>(
                   Clock::now().time_since_epoch())
            .count();
    };
    for (;;) {
        pollfd fds[2] = {{master_, POLLIN, 0}, {stop_[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) == -1) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (fds[1].revents != 0) {
            return;
        }
        std::size_t most = buffer.size();
        std::chrono::milliseconds pause{0};
        {
            std::lock_guard lock(mutex_);
            if (pace.baud() != baud_) {
                pace = vprinter::LinePace(baud_);
            }
            if (pause_after_ != 0 && bytes_.size() >= pause_after_) {
                pause = pause_;
                pause_after_ = 0;
                paused_ = true;
            } else if (pause_after_ > bytes_.size()) {
                most = std::min(most, pause_after_ - bytes_.size());
            }
        }
        if (pause.count() > 0) {
            arrived_.notify_all();
            if (!Rest(pause)) {
                return;
            }
        }
        if (pace.paced()) {
            // A step of the line: what it carried meanwhile is what there is.
            if (!Rest(std::chrono::milliseconds(vprinter::LinePace::kStepUs / 1000))) {
                return;
            }
            most = std::min(most, pace.allowance(microseconds()));
            if (most == 0) {
                continue; // a slow line has not carried a whole byte yet
            }
        }
        const ssize_t n = ::read(master_, buffer.data(), most);
        const auto now = Clock::now();
        if (n > 0) {
            pace.took(static_cast<std::size_t>(n));
        }
        if (n <= 0) {
            if (n == -1 && errno == EINTR) {
                continue;
            }
            return;
        }
        bool vanish = false;
        {
            std::lock_guard lock(mutex_);
            arrivals_.emplace_back(bytes_.size(), now);
            bytes_.insert(bytes_.end(), buffer.begin(), buffer.begin() + n);
            if (vanish_after_ != 0 && bytes_.size() >= vanish_after_) {
                ::close(master_);
                master_ = -1;
                vanished_ = vanish = true;
            }
        }
        arrived_.notify_all();
        if (vanish) {
            return;
        }
    }
}

Bytes PtyPrinter::Received() const {
    std::lock_guard lock(mutex_);
    return bytes_;
}

std::size_t PtyPrinter::ReceivedSize() const {
    std::lock_guard lock(mutex_);
    return bytes_.size();
}

Clock::time_point PtyPrinter::ArrivalOf(std::size_t offset) const {
    std::lock_guard lock(mutex_);
    const auto after = std::upper_bound(
        arrivals_.begin(), arrivals_.end(), offset,
        [](std::size_t value, const auto& arrival) { return value < arrival.first; });
    if (offset >= bytes_.size() || after == arrivals_.begin()) {
        throw std::out_of_range("no byte has arrived at that offset");
    }
    return std::prev(after)->second;
}

bool PtyPrinter::WaitForBytes(std::size_t n, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, timeout, [&] { return bytes_.size() >= n; });
}

Bytes PtyPrinter::Drain() {
    Check(::write(slave_, kMarker.data(), kMarker.size()) == static_cast<ssize_t>(kMarker.size()),
          "write marker");
    std::unique_lock lock(mutex_);
    auto marker = bytes_.end();
    const bool seen = arrived_.wait_for(lock, std::chrono::seconds(5), [&] {
        const auto from = bytes_.begin() + static_cast<std::ptrdiff_t>(drained_);
        marker = std::search(from, bytes_.end(), kMarker.begin(), kMarker.end());
        return marker != bytes_.end();
    });
    if (!seen) {
        throw std::runtime_error("the drain marker did not come through the port");
    }
    Bytes before(bytes_.begin() + static_cast<std::ptrdiff_t>(drained_), marker);
    drained_ = static_cast<std::size_t>(marker - bytes_.begin()) + kMarker.size();
    return before;
}

void PtyPrinter::Vanish() {
    if (reader_.joinable()) {
        const char stop = 1;
        (void)!::write(stop_[1], &stop, 1);
        reader_.join();
    }
    std::lock_guard lock(mutex_);
    if (master_ != -1) {
        ::close(master_);
        master_ = -1;
    }
    vanished_ = true;
}

void PtyPrinter::ReadAtBaud(unsigned baud) {
    std::lock_guard lock(mutex_);
    baud_ = baud;
}

void PtyPrinter::PauseAfter(std::size_t n, std::chrono::milliseconds pause) {
    std::lock_guard lock(mutex_);
    pause_after_ = n;
    pause_ = pause;
}

bool PtyPrinter::WaitPaused(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, timeout, [&] { return paused_; });
}

void PtyPrinter::VanishAfter(std::size_t n) {
    std::lock_guard lock(mutex_);
    vanish_after_ = n;
}

bool PtyPrinter::WaitVanished(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, timeout, [&] { return vanished_; });
}

int ProgramDescriptorOn(const PtyPrinter& printer) {
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        const auto target = std::filesystem::read_symlink(entry.path(), ec);
        const int fd = std::stoi(entry.path().filename().string());
        if (!ec && target == printer.path() && fd != printer.slave_fd()) {
            return fd;
        }
    }
    return -1;
}

DeviceTable::DeviceTable() {
    if (const char* old = std::getenv("TALLYROLL_DEVICES")) {
        saved_ = old;
        had_saved_ = true;
    }
    ::setenv("TALLYROLL_DEVICES", folder_.path().c_str(), 1);
}

DeviceTable::~DeviceTable() {
    if (had_saved_) {
        ::setenv("TALLYROLL_DEVICES", saved_.c_str(), 1);
    } else {
        ::unsetenv("TALLYROLL_DEVICES");
    }
}

void DeviceTable::Link(int nPort, const std::string& target) const {
    Unlink(nPort);
    std::filesystem::create_symlink(target, folder() + "/COM" + std::to_string(nPort));
}

void DeviceTable::Unlink(int nPort) const {
    std::error_code ignored;
    std::filesystem::remove(folder() + "/COM" + std::to_string(nPort), ignored);
}

} // namespace testing_support
