// A printer in a process of its own, for measuring the writer alone: a child
// reads the master side of a pseudo-terminal as fast as it can, with nothing
// but a read between one piece and the next, and keeps its count (and, when
// asked, a hash) of what came in memory it shares with this process. Hashing
// byte by byte is slow enough to make the writer wait for the printer more
// often, so a measurement asks for it only where it checks the bytes.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>

namespace testing_support {

// FNV-1a over a stream of bytes.
struct StreamHash {
    std::uint64_t value = 14695981039346656037ull;
    std::uint64_t count = 0;
    void Add(const void* data, std::size_t n);
};

class ForkedPrinter {
public:
    // Forks: make it before the process holds anything large.
    ForkedPrinter();
    ~ForkedPrinter();
    ForkedPrinter(const ForkedPrinter&) = delete;
    ForkedPrinter& operator=(const ForkedPrinter&) = delete;

    const std::string& path() const { return path_; }

    // Counting (and hashing, if asked) starts again; call when the printer
    // has read everything sent so far.
    void Restart(bool hashed);
    // Writes count bytes to the line in 64 KB writes, as a program that had
    // its bytes ready would: what the pseudo-terminal costs the writer.
    void WriteRaw(std::uint64_t count);
    // Waits (60 s at most) until count bytes have arrived since Restart.
    StreamHash Await(std::uint64_t count);

private:
    struct State {
        std::atomic<std::uint64_t> count{0};
        std::atomic<std::uint64_t> hash{StreamHash{}.value};
        std::atomic<bool> hashed{false};
    };
    static void Serve(int master, State& state);

    std::string path_;
    pid_t child_ = -1;
    int slave_ = -1;
    State* state_ = nullptr;
};

} // namespace testing_support
