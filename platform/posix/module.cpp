#include "platform/win32/kernel.h"

#include <cstdint>

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
