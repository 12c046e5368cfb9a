// A module's resources as this platform keeps them: on Win32 the linker puts
// them in the image; here they are a table of (type, id, language) -> bytes
// that the start-up code (or a test) registers for the module's handle. None
// of these names is Win32's; the calls that read resources back, and the
// names of types and languages, are (platform/win32/resources.h).
#pragma once

#include "platform/win32/resources.h"

#include <cstddef>

// The number of a predefined resource type (RT_DIALOG, RT_ICON, ...), for
// the type field of a table's item. Any pointer: the system's headers make
// RT_* narrow when UNICODE is not defined.
inline WORD ResourceTypeNumber(const void* type) {
    return static_cast<WORD>(reinterpret_cast<ULONG_PTR>(type));
}

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
