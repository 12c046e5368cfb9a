#include "platform/text/path_text.h"
#include "platform/win32/kernel.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

// The program is one module; its handle is a fixed value that no allocation
// or descriptor can produce, like the image base on Win32.
const HMODULE kProgramModule = reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(0x00010000));

constexpr DWORD kErrorModNotFound = 126;

} // namespace

HMODULE GetModuleHandleW(LPCWSTR lpModuleName) {
    if (lpModuleName == nullptr) {
        return kProgramModule;
    }
    // No libraries are loaded by name in this program.
    SetLastError(kErrorModNotFound);
    return nullptr;
}

DWORD GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize) {
    if (hModule != nullptr && hModule != kProgramModule) {
        SetLastError(kErrorModNotFound);
        return 0;
    }
    // The file the kernel started, links resolved, as Win32 names the image
    // it loaded; a name that is not UTF-8 crosses as any path does.
    std::error_code error;
    const std::filesystem::path image = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    const std::u16string name = text::PathFromBytes(image.native());
    if (nSize == 0 || lpFilename == nullptr) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    const std::size_t n = std::min<std::size_t>(name.size(), nSize - 1);
    name.copy(lpFilename, n);
    lpFilename[n] = 0;
    if (n < name.size()) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return nSize;
    }
    return static_cast<DWORD>(n);
}
