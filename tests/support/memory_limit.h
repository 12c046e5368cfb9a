// Runs a piece of a test in a child process whose address space may grow by
// no more than a given amount, so that an allocation of a size the test
// chooses fails as it would on a machine without the memory.
#pragma once

#include <cstddef>
#include <cstdio>
#include <exception>
#include <fstream>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

// AddressSanitizer and ThreadSanitizer reserve their shadow memory up front
// and end the process on a failed allocation, so a limit cannot be tested
// under them.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr bool kSanitizerAllocator = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
inline constexpr bool kSanitizerAllocator = true;
#else
inline constexpr bool kSanitizerAllocator = false;
#endif
#else
inline constexpr bool kSanitizerAllocator = false;
#endif

// The process's address space now, in bytes.
inline std::size_t AddressSpaceInUse() {
    std::size_t pages = 0;
    if (!(std::ifstream("/proc/self/statm") >> pages)) {
        pages = 0;
    }
    return pages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

// Runs body in a forked child limited to what it already uses plus headroom
// bytes, and answers the child's exit status: body's answer, or 128 plus the
// signal that ended it (134 for an exception body let through). The child
// never returns into the test framework.
inline int RunWithMemoryLimit(std::size_t headroom, const std::function<int()>& body) {
    (void)std::fflush(nullptr); // what the child would print twice otherwise
    const pid_t child = ::fork();
    if (child == 0) {
        rlimit limit{};
        ::getrlimit(RLIMIT_AS, &limit);
        limit.rlim_cur = AddressSpaceInUse() + headroom;
        if (limit.rlim_max != RLIM_INFINITY && limit.rlim_cur > limit.rlim_max) {
            limit.rlim_cur = limit.rlim_max;
        }
        if (::setrlimit(RLIMIT_AS, &limit) != 0) {
            ::_exit(126);
        }
        int answer = 0;
        try {
            answer = body();
        } catch (...) {
            std::terminate(); // as in the program: an exception let through ends it
        }
        (void)std::fflush(nullptr);
        ::_exit(answer);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace testing_support
