// The slice timer: it interrupts this thread's blocking calls while armed,
// and never a thread that blocks its signal or a call after it stopped.
#include "platform/kernel32/slice_timer.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class Pipe {
public:
    Pipe() { EXPECT_EQ(::pipe(fds_), 0); }
    ~Pipe() {
        ::close(fds_[0]);
        ::close(fds_[1]);
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    int readEnd() const { return fds_[0]; }
    int writeEnd() const { return fds_[1]; }

private:
    int fds_[2] = {-1, -1};
};

TEST(SliceTimer, ABlockingReadComesBackInterruptedWhileArmed) {
    Pipe pipe;
    kernel32::SliceTimer slices(20ms);
    ASSERT_TRUE(slices.armed());
    char byte = 0;
    for (int i = 0; i < 3; ++i) { // a repeating timer: every read comes back
        errno = 0;
        EXPECT_EQ(::read(pipe.readEnd(), &byte, 1), -1);
        EXPECT_EQ(errno, EINTR);
    }
}

TEST(SliceTimer, NothingIsInterruptedOnceStoppedOrPaused) {
    Pipe pipe;
    char byte = 'x';
    const auto readLate = [&] {
        std::thread late([&] {
            std::this_thread::sleep_for(120ms);
            EXPECT_EQ(::write(pipe.writeEnd(), &byte, 1), 1);
        });
        char got = 0;
        const ssize_t n = ::read(pipe.readEnd(), &got, 1);
        late.join();
        return n;
    };
    {
        kernel32::SliceTimer slices(20ms);
        ASSERT_TRUE(slices.armed());
        slices.pause();
        EXPECT_EQ(readLate(), 1) << "paused";
        slices.resume();
        errno = 0;
        EXPECT_EQ(::read(pipe.readEnd(), &byte, 1), -1) << "resumed";
        EXPECT_EQ(errno, EINTR);
    }
    EXPECT_EQ(readLate(), 1) << "stopped";
}

TEST(SliceTimer, AThreadThatBlocksItsSignalIsNeverArmed) {
    bool armed = true;
    std::thread blocking([&] {
        sigset_t mask;
        sigemptyset(&mask);
        sigaddset(&mask, kernel32::SliceTimer::signalNumber());
        ASSERT_EQ(::pthread_sigmask(SIG_BLOCK, &mask, nullptr), 0);
        kernel32::SliceTimer slices(20ms);
        armed = slices.armed();
    });
    blocking.join();
    EXPECT_FALSE(armed);
}

// Each thread's timer is its own: one thread's slices never cut another's call.
TEST(SliceTimer, OnlyTheArmingThreadIsInterrupted) {
    Pipe pipe;
    kernel32::SliceTimer slices(10ms);
    ASSERT_TRUE(slices.armed());
    ssize_t otherRead = 0;
    std::thread other([&] {
        char got = 0;
        otherRead = ::read(pipe.readEnd(), &got, 1);
    });
    std::this_thread::sleep_for(100ms); // ten slices
    char byte = 'x';
    slices.pause();
    ASSERT_EQ(::write(pipe.writeEnd(), &byte, 1), 1);
    other.join();
    EXPECT_EQ(otherRead, 1);
}

} // namespace
