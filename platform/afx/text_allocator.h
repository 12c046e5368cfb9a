// Where the framework's strings keep their characters. A text the size of a
// loaded file (hundreds of megabytes) is taken straight from the system's
// virtual memory, where the platform can back it with large pages: taking
// such a text page by page was most of the cost of loading it. Everything
// smaller comes from the heap as before.
#pragma once

#include "platform/win32/kernel.h"

#include <cstddef>
#include <memory>
#include <new>

namespace afx {

// Blocks from this size up come from VirtualAlloc.
inline constexpr std::size_t kVirtualBlockBytes = std::size_t{1} << 20;

template <typename T>
class TextAllocator {
public:
    using value_type = T;

    TextAllocator() noexcept = default;
    template <typename U>
    TextAllocator(const TextAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        if (n > SIZE_MAX / sizeof(T)) {
            throw std::bad_array_new_length();
        }
        const std::size_t bytes = n * sizeof(T);
        if (bytes < kVirtualBlockBytes) {
            return std::allocator<T>().allocate(n);
        }
        void* block = ::VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (block == nullptr) {
            throw std::bad_alloc();
        }
        return static_cast<T*>(block);
    }

    // The standard passes back the count that was allocated, so the block's
    // origin is known from it.
    void deallocate(T* p, std::size_t n) noexcept {
        if (n * sizeof(T) < kVirtualBlockBytes) {
            std::allocator<T>().deallocate(p, n);
            return;
        }
        (void)::VirtualFree(p, 0, MEM_RELEASE);
    }

    template <typename U>
    bool operator==(const TextAllocator<U>&) const noexcept {
        return true;
    }
};

} // namespace afx
