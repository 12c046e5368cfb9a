#include "stalling_printer.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <sys/ioctl.h>
#include <unistd.h>
#include <vector>

namespace faults {

namespace {

void Check(bool ok, const char* what) {
    if (!ok) {
        throw std::runtime_error(std::string(what) + ": " + std::strerror(errno));
    }
}

} // namespace

StallingPrinter::StallingPrinter() {
    char name[256] = {};
    Check(::openpty(&master_, &slave_, name, nullptr, nullptr) == 0, "openpty");
    path_ = name;
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
    Check(::pipe2(stop_, O_CLOEXEC) == 0, "pipe2");
}

StallingPrinter::~StallingPrinter() {
    Disconnect();
    ::close(slave_);
    ::close(stop_[0]);
    ::close(stop_[1]);
}

std::size_t StallingPrinter::Waiting() const {
    int n = 0;
    return ::ioctl(master_, FIONREAD, &n) == 0 ? static_cast<std::size_t>(n) : 0;
}

std::size_t StallingPrinter::WaitUntilFull(std::chrono::milliseconds timeout) {
    // The kernel moves bytes from the writer's side to the reader's in the
    // background: the count is only final once it has held still.
    constexpr auto kStep = std::chrono::milliseconds(5);
    constexpr int kStillSteps = 40;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::size_t last = 0;
    int still = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        const std::size_t now = Waiting();
        still = (now != 0 && now == last) ? still + 1 : 0;
        if (still == kStillSteps) {
            return now;
        }
        last = now;
        std::this_thread::sleep_for(kStep);
    }
    throw std::runtime_error("the line never filled up");
}

void StallingPrinter::Resume() {
    if (!reader_.joinable()) {
        reader_ = std::thread([this] { ReadLoop(); });
    }
}

void StallingPrinter::ReadLoop() {
    std::vector<std::uint8_t> buffer(65536);
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
        const ssize_t n = ::read(master_, buffer.data(), buffer.size());
        if (n <= 0) {
            if (n == -1 && errno == EINTR) {
                continue;
            }
            return;
        }
        {
            std::lock_guard lock(mutex_);
            bytes_.insert(bytes_.end(), buffer.begin(), buffer.begin() + n);
        }
        arrived_.notify_all();
    }
}

bool StallingPrinter::WaitForBytes(std::size_t n, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, timeout, [&] { return bytes_.size() >= n; });
}

testing_support::Bytes StallingPrinter::Received() const {
    std::lock_guard lock(mutex_);
    return bytes_;
}

void StallingPrinter::Disconnect() {
    if (reader_.joinable()) {
        const char stop = 1;
        (void)!::write(stop_[1], &stop, 1);
        reader_.join();
    }
    if (master_ != -1) {
        ::close(master_);
        master_ = -1;
    }
}

} // namespace faults
