#include "forked_printer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <pty.h>
#include <signal.h>
#include <stdexcept>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace testing_support {

namespace {

[[noreturn]] void Fail(const char* what) {
    throw std::runtime_error(std::string("forked printer: ") + what + ": " + std::strerror(errno));
}

} // namespace

void StreamHash::Add(const void* data, std::size_t n) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < n; ++i) {
        value = (value ^ p[i]) * 1099511628211ull;
    }
    count += n;
}

ForkedPrinter::ForkedPrinter() {
    char name[256] = {};
    int master = -1, slave = -1;
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        Fail("openpty");
    }
    path_ = name;
    void* shared =
        ::mmap(nullptr, sizeof(State), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (shared == MAP_FAILED) {
        Fail("mmap");
    }
    state_ = new (shared) State;
    child_ = ::fork();
    if (child_ == -1) {
        Fail("fork");
    }
    if (child_ == 0) {
        ::close(slave);
        Serve(master, *state_);
        ::_exit(0);
    }
    ::close(master);
    slave_ = slave; // keeps the line up between jobs
}

ForkedPrinter::~ForkedPrinter() {
    ::close(slave_);
    ::kill(child_, SIGTERM);
    ::waitpid(child_, nullptr, 0);
    ::munmap(state_, sizeof(State));
}

void ForkedPrinter::Restart(bool hashed) {
    state_->hashed.store(hashed);
    state_->hash.store(StreamHash{}.value);
    state_->count.store(0);
}

void ForkedPrinter::WriteRaw(std::uint64_t count) {
    const std::vector<char> chunk(1 << 16, 'a');
    while (count > 0) {
        const std::size_t n = std::min<std::uint64_t>(count, chunk.size());
        const ssize_t written = ::write(slave_, chunk.data(), n);
        if (written <= 0) {
            if (written == -1 && errno == EINTR) {
                continue;
            }
            Fail("writing to the line");
        }
        count -= static_cast<std::uint64_t>(written);
    }
}

StreamHash ForkedPrinter::Await(std::uint64_t count) {
    for (int waited = 0; state_->count.load() < count && waited < 300000; ++waited) {
        ::usleep(200);
    }
    StreamHash h;
    h.value = state_->hash.load();
    h.count = state_->count.load();
    return h;
}

void ForkedPrinter::Serve(int master, State& state) {
    std::vector<unsigned char> buffer(1 << 16);
    for (;;) {
        const ssize_t n = ::read(master, buffer.data(), buffer.size());
        if (n == -1 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return;
        }
        if (state.hashed.load(std::memory_order_relaxed)) {
            StreamHash h;
            h.value = state.hash.load(std::memory_order_relaxed);
            h.Add(buffer.data(), static_cast<std::size_t>(n));
            state.hash.store(h.value, std::memory_order_relaxed);
        }
        state.count.fetch_add(static_cast<std::uint64_t>(n));
    }
}

} // namespace testing_support
