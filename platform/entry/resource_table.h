// A module's resources as this platform keeps them: on Win32 the linker puts
// them in the image; here they are a table of (type, id, language) -> bytes
// that the start-up code (or a test) registers for the module's handle. None
// of these names is Win32's; the calls that read resources back are
// (platform/win32/resources.h).
#pragma once

#include "platform/win32/resources.h"

#include <cstddef>

// Resource types and languages as plain numbers, for tables and readers.
inline constexpr WORD RT_ICON_ID = 3;
inline constexpr WORD RT_DIALOG_ID = 5;
inline constexpr WORD RT_GROUP_ICON_ID = 14;
inline constexpr WORD RT_VERSION_ID = 16;
// The class framework's dialog initialisation data (the list entries of
// combo boxes): RT_DLGINIT in platform/afx/dialog_init.h.
inline constexpr WORD RT_DLGINIT_ID = 240;

inline constexpr WORD LANG_ENGLISH_US = 1033; // MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)
inline constexpr WORD LANG_CHINESE_PRC =
    2052; // MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED)

// One resource of a module: numeric type and id, language, and its bytes.
struct RESOURCE_ITEM {
    WORD type;
    WORD id;
    WORD language;
    const BYTE* data;
    DWORD size;
};

// Makes items (which must outlive the module) the resources of hModule.
// Registering again for the same module replaces the table.
void RegisterModuleResources(HMODULE hModule, const RESOURCE_ITEM* items, std::size_t count);
