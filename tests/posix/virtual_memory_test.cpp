// VirtualAlloc and VirtualFree: the blocks the framework's large texts live in.
#include "platform/afx/cstring.h"
#include "platform/win32/kernel.h"
#include "tests/posix/memory_limit.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {

constexpr SIZE_T kLargePage = SIZE_T{2} << 20;

LPVOID Allocate(SIZE_T size) {
    return VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

// Whether the kernel would back memory advised for huge pages with them.
bool HugePagesOnAdvice() {
    std::ifstream in("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string line;
    std::getline(in, line);
    return line.find("[always]") != std::string::npos ||
           line.find("[madvise]") != std::string::npos;
}

// The THPeligible line of the mapping that holds address, or -1.
int HugePageEligible(const void* address) {
    std::ifstream maps("/proc/self/smaps");
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    bool inside = false;
    for (std::string line; std::getline(maps, line);) {
        std::uintptr_t from = 0;
        std::uintptr_t to = 0;
        char dash = 0;
        std::istringstream range(line);
        if (range >> std::hex >> from >> dash >> to && dash == '-') {
            inside = from <= at && at < to;
            continue;
        }
        if (inside && line.rfind("THPeligible:", 0) == 0) {
            return std::stoi(line.substr(12));
        }
    }
    return -1;
}

TEST(VirtualMemory, ABlockIsZeroedWritableAndGivenBackOnce) {
    for (const SIZE_T size : {SIZE_T{1}, SIZE_T{4096}, SIZE_T{100000}, 3 * kLargePage + 123}) {
        auto* block = static_cast<unsigned char*>(Allocate(size));
        ASSERT_NE(block, nullptr) << size;
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % 4096, 0u) << size;
        for (const SIZE_T at : {SIZE_T{0}, size / 2, size - 1}) {
            EXPECT_EQ(block[at], 0) << size;
        }
        for (const SIZE_T at : {SIZE_T{0}, size / 2, size - 1}) {
            block[at] = 0xA5;
        }
        EXPECT_TRUE(VirtualFree(block, 0, MEM_RELEASE)) << size;
        SetLastError(0);
        EXPECT_FALSE(VirtualFree(block, 0, MEM_RELEASE)) << "a second release, " << size;
        EXPECT_EQ(GetLastError(), ERROR_INVALID_ADDRESS);
    }
}

TEST(VirtualMemory, OnlyTheStartOfABlockReleasesIt) {
    auto* block = static_cast<unsigned char*>(Allocate(kLargePage));
    ASSERT_NE(block, nullptr);
    EXPECT_FALSE(VirtualFree(block + 4096, 0, MEM_RELEASE));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_ADDRESS);
    EXPECT_FALSE(VirtualFree(block, kLargePage, MEM_RELEASE)) << "a size with MEM_RELEASE";
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    block[kLargePage - 1] = 1; // still there
    EXPECT_TRUE(VirtualFree(block, 0, MEM_RELEASE));
}

TEST(VirtualMemory, UnsupportedRequestsAreRefused) {
    int here = 0;
    SetLastError(0);
    EXPECT_EQ(VirtualAlloc(&here, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Allocate(0), nullptr);
    EXPECT_EQ(VirtualAlloc(nullptr, 4096, MEM_RESERVE, PAGE_READWRITE), nullptr);
    EXPECT_EQ(VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, 0x02), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(VirtualFree(nullptr, 0, MEM_RELEASE));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    SetLastError(0);
    EXPECT_EQ(Allocate(~SIZE_T{0} - 100), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
}

TEST(VirtualMemory, LargeBlocksSitOnLargePagesWhereTheSystemHasThem) {
    void* block = Allocate(8 * kLargePage);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % kLargePage, 0u);
    if (HugePagesOnAdvice()) {
        EXPECT_EQ(HugePageEligible(block), 1);
    }
    EXPECT_TRUE(VirtualFree(block, 0, MEM_RELEASE));
}

TEST(VirtualMemory, ABlockTheSystemCannotGiveIsNotEnoughMemory) {
    if (testing_support::kSanitizerAllocator) {
        GTEST_SKIP() << "a sanitizer cannot run under an address-space limit";
    }
    const int status = testing_support::RunWithMemoryLimit(64u << 20, [] {
        SetLastError(0);
        if (Allocate(256u << 20) != nullptr || GetLastError() != ERROR_NOT_ENOUGH_MEMORY) {
            return 1;
        }
        // A large text that cannot be had is the allocation failure callers
        // already handle, not a crash.
        try {
            CString text;
            text.GetBuffer(128 << 20);
        } catch (const std::bad_alloc&) {
            return 0;
        }
        return 2;
    });
    EXPECT_EQ(status, 0);
}

// A text grows from the heap into a block of its own and back again as its
// room crosses the line between them; each move keeps every character.
TEST(VirtualMemory, ATextKeepsItsCharactersAsItMovesBetweenHeapAndBlocks) {
    CString text;
    for (int i = 0; i < 300000; ++i) {
        text += static_cast<WCHAR>(u'a' + i % 26); // grows by doubling across the line
    }
    CString copy = text;
    copy += u'!'; // a copy of its own, in a block too
    ASSERT_EQ(copy.GetLength(), 300001);
    CString::Text& mine = text.str();
    mine.resize(1000);
    mine.shrink_to_fit(); // back to the heap
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(text.GetAt(i), static_cast<WCHAR>(u'a' + i % 26)) << i;
    }
    for (int i = 0; i < 300000; i += 4999) {
        ASSERT_EQ(copy.GetAt(i), static_cast<WCHAR>(u'a' + i % 26)) << i;
    }
    EXPECT_EQ(copy.GetAt(300000), u'!');
}

} // namespace
