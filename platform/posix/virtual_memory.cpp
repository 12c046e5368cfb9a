// VirtualAlloc and VirtualFree over mmap. Blocks of a large page or more are
// placed on a large-page boundary and advised for transparent huge pages:
// a text of hundreds of megabytes then costs one fault per 2 MB instead of
// one per 4 KB, which was most of the time of loading it. Where the system
// has huge pages off, the advice is ignored and the block is ordinary pages.
#include "platform/win32/kernel.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <map>
#include <mutex>

namespace {

constexpr std::size_t kLargePage = std::size_t{2} << 20;

// munmap needs the length that VirtualFree is not told.
struct Blocks {
    std::mutex lock;
    std::map<void*, std::size_t> lengths;
};

Blocks& TheBlocks() {
    static Blocks blocks;
    return blocks;
}

std::size_t PageSize() {
    static const std::size_t size = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    return size;
}

void* MapAligned(std::size_t length) {
    if (length < kLargePage) {
        void* p = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        return p == MAP_FAILED ? nullptr : p;
    }
    // Map a large page more, then give back what lies before the first
    // boundary and after the block.
    const std::size_t spare = length + kLargePage;
    void* raw = ::mmap(nullptr, spare, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) {
        return nullptr;
    }
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + kLargePage - 1) & ~(std::uintptr_t{kLargePage} - 1);
    if (aligned > start) {
        ::munmap(raw, aligned - start);
    }
    const std::uintptr_t end = aligned + length;
    const std::uintptr_t spareEnd = start + spare;
    if (spareEnd > end) {
        ::munmap(reinterpret_cast<void*>(end), spareEnd - end);
    }
    void* block = reinterpret_cast<void*>(aligned);
#ifdef MADV_HUGEPAGE
    (void)::madvise(block, length, MADV_HUGEPAGE); // advice: its failure changes nothing
#endif
    return block;
}

} // namespace

LPVOID VirtualAlloc(LPVOID lpAddress, SIZE_T dwSize, DWORD flAllocationType, DWORD flProtect) {
    if (lpAddress != nullptr || dwSize == 0 ||
        flAllocationType != (MEM_COMMIT | MEM_RESERVE) || flProtect != PAGE_READWRITE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const std::size_t page = PageSize();
    if (dwSize > SIZE_MAX - page - kLargePage) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    const std::size_t length = (dwSize + page - 1) / page * page;
    void* block = MapAligned(length);
    if (block == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    Blocks& blocks = TheBlocks();
    const std::lock_guard<std::mutex> hold(blocks.lock);
    blocks.lengths[block] = length;
    return block;
}

BOOL VirtualFree(LPVOID lpAddress, SIZE_T dwSize, DWORD dwFreeType) {
    if (lpAddress == nullptr || dwSize != 0 || dwFreeType != MEM_RELEASE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::size_t length = 0;
    {
        Blocks& blocks = TheBlocks();
        const std::lock_guard<std::mutex> hold(blocks.lock);
        const auto found = blocks.lengths.find(lpAddress);
        if (found == blocks.lengths.end()) {
            // Not the start of a block this answered: Win32 says the same.
            SetLastError(ERROR_INVALID_ADDRESS);
            return FALSE;
        }
        length = found->second;
        blocks.lengths.erase(found);
    }
    // A block this answered is always a whole mapping: munmap cannot refuse it.
    (void)::munmap(lpAddress, length);
    return TRUE;
}
