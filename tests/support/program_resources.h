// The program's resources as start-up registers them, or on Windows as the
// linker put them in the test's own image (it links the same resource
// object as the program).
#pragma once

#include "platform/entry/resource_table.h"

#include <cstdint>
#include <span>

#ifdef _WIN32

#include <vector>

namespace program_resource_detail {

inline BOOL CALLBACK AddLanguage(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language,
                                 LONG_PTR param) {
    auto* items = reinterpret_cast<std::vector<RESOURCE_ITEM>*>(param);
    HRSRC found = FindResourceExW(module, type, name, language);
    const void* data = found != nullptr ? LockResource(LoadResource(module, found)) : nullptr;
    items->push_back({static_cast<WORD>(reinterpret_cast<ULONG_PTR>(type)),
                      static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)), language,
                      static_cast<const BYTE*>(data),
                      found != nullptr ? SizeofResource(module, found) : 0});
    return TRUE;
}

inline BOOL CALLBACK AddName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param) {
    return EnumResourceLanguagesW(module, type, name, &AddLanguage, param);
}

inline BOOL CALLBACK AddType(HMODULE module, LPWSTR type, LONG_PTR param) {
    return EnumResourceNamesW(module, type, &AddName, param);
}

} // namespace program_resource_detail

// Every resource of the image, each by its numeric type, id and language
// (the program names none of them by string).
inline std::span<const RESOURCE_ITEM> ProgramResourceTable() {
    static const std::vector<RESOURCE_ITEM> items = [] {
        std::vector<RESOURCE_ITEM> out;
        EnumResourceTypesW(GetModuleHandleW(nullptr), &program_resource_detail::AddType,
                           reinterpret_cast<LONG_PTR>(&out));
        return out;
    }();
    return items;
}

#else

#include "platform/entry/program_resources.h"

inline std::span<const RESOURCE_ITEM> ProgramResourceTable() {
    std::size_t count = 0;
    const RESOURCE_ITEM* items = ProgramResources(&count);
    return {items, count};
}

#endif

// The bytes of one resource; empty when the program has no such resource.
inline std::span<const std::uint8_t> ResourceBytes(WORD type, WORD id, WORD language) {
    for (const RESOURCE_ITEM& item : ProgramResourceTable()) {
        if (item.type == type && item.id == id && item.language == language) {
            return {item.data, item.size};
        }
    }
    return {};
}

// The main form's dialog template, as the program registers it: tests that
// need the form take it from here rather than writing it again.
inline std::span<const std::uint8_t> FormTemplate() {
    return ResourceBytes(ResourceTypeNumber(RT_DIALOG), 102,
                         MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
}
