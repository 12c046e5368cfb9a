// What a run of jobs leaves behind in this process: open descriptors, and
// heap memory allocated by the code under test and never freed.
#pragma once

#include <cstdint>

namespace faults {

// Descriptors open in this process right now (the entries of /proc/self/fd,
// less the one used to list them).
int OpenDescriptorCount();

// Blocks allocated with operator new on a thread inside a HeapCounting scope
// and not yet deleted, wherever they are deleted. Defined beside the
// replaced operator new in counting_new.cpp: a binary that asks links it.
struct HeapUse {
    std::int64_t blocks = 0;
    std::int64_t bytes = 0;
};
HeapUse CountedHeapUse();

// Counts the calling thread's allocations while it lives. Memory the test's
// own fixtures allocate on other threads (the pty reader's growing record of
// bytes) stays out of the count.
class HeapCounting {
public:
    HeapCounting();
    ~HeapCounting();
    HeapCounting(const HeapCounting&) = delete;
    HeapCounting& operator=(const HeapCounting&) = delete;

private:
    bool was_counting_;
};

} // namespace faults
