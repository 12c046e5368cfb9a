// Replaces the global operator new and delete of the binary it is linked
// into. Every block carries a small header with its size and whether it was
// allocated inside a HeapCounting scope, so that a block counted on one thread
// and freed on another still balances the count. Aligned forms are left to
// the library: they never reach these functions.
#include "resource_use.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace {

struct alignas(std::max_align_t) BlockHeader {
    std::size_t size;
    bool counted;
};
static_assert(sizeof(BlockHeader) % __STDCPP_DEFAULT_NEW_ALIGNMENT__ == 0);

std::atomic<std::int64_t> g_blocks{0};
std::atomic<std::int64_t> g_bytes{0};
thread_local bool t_counting = false;

void* Allocate(std::size_t size) noexcept {
    auto* header = static_cast<BlockHeader*>(std::malloc(sizeof(BlockHeader) + size));
    if (header == nullptr) {
        return nullptr;
    }
    header->size = size;
    header->counted = t_counting;
    if (header->counted) {
        g_blocks.fetch_add(1, std::memory_order_relaxed);
        g_bytes.fetch_add(static_cast<std::int64_t>(size), std::memory_order_relaxed);
    }
    return header + 1;
}

void* AllocateOrThrow(std::size_t size) {
    for (;;) {
        if (void* p = Allocate(size)) {
            return p;
        }
        std::new_handler handler = std::get_new_handler();
        if (handler == nullptr) {
            throw std::bad_alloc();
        }
        handler();
    }
}

void Release(void* p) noexcept {
    if (p == nullptr) {
        return;
    }
    auto* header = static_cast<BlockHeader*>(p) - 1;
    if (header->counted) {
        g_blocks.fetch_sub(1, std::memory_order_relaxed);
        g_bytes.fetch_sub(static_cast<std::int64_t>(header->size), std::memory_order_relaxed);
    }
    std::free(header);
}

} // namespace

namespace faults {

HeapUse CountedHeapUse() {
    return {g_blocks.load(), g_bytes.load()};
}

HeapCounting::HeapCounting() : was_counting_(t_counting) {
    t_counting = true;
}

HeapCounting::~HeapCounting() {
    t_counting = was_counting_;
}

} // namespace faults

void* operator new(std::size_t size) {
    return AllocateOrThrow(size);
}
void* operator new[](std::size_t size) {
    return AllocateOrThrow(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void operator delete(void* p) noexcept {
    Release(p);
}
void operator delete[](void* p) noexcept {
    Release(p);
}
void operator delete(void* p, std::size_t) noexcept {
    Release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    Release(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    Release(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    Release(p);
}
