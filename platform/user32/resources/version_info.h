// The version block resource (RT_VERSION): VS_VERSIONINFO with its
// VS_FIXEDFILEINFO, the StringFileInfo string tables and the VarFileInfo
// translation list, read into plain values.
#pragma once

#include "platform/user32/resources/read_result.h"
#include "platform/win32/types.h"

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace user32 {

inline constexpr DWORD kFixedFileInfoSignature = 0xFEEF04BD;

struct FixedFileInfo {
    DWORD signature = 0;
    DWORD structVersion = 0;
    DWORD fileVersionMS = 0, fileVersionLS = 0;
    DWORD productVersionMS = 0, productVersionLS = 0;
    DWORD fileFlagsMask = 0, fileFlags = 0;
    DWORD fileOS = 0, fileType = 0, fileSubtype = 0;
    DWORD fileDateMS = 0, fileDateLS = 0;
};

struct VersionStringTable {
    std::u16string key; // language and code page in hex, e.g. "040904b0"
    std::vector<std::pair<std::u16string, std::u16string>> strings; // in file order

    // The value of name, or nullptr when the table has no such string.
    const std::u16string* find(std::u16string_view name) const;
};

struct VersionInfo {
    bool hasFixed = false;
    FixedFileInfo fixed;
    std::vector<VersionStringTable> stringTables;
    std::vector<DWORD> translations; // LOWORD language, HIWORD code page
};

ReadResult<VersionInfo> ReadVersionInfo(std::span<const std::uint8_t> bytes);

} // namespace user32
