// Resources of the Win32 subset. On Win32 the linker puts them in the module;
// here a module's resources are a table of (type, id, language) -> bytes that
// the start-up code (or a test) registers for its module handle.
#pragma once

#include "platform/win32/types.h"

#define MAKEINTRESOURCEW(i) (reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(i))))
#define IS_INTRESOURCE(r) ((reinterpret_cast<ULONG_PTR>(r) >> 16) == 0)

inline constexpr WORD RT_ICON_ID = 3;
inline constexpr WORD RT_DIALOG_ID = 5;
inline constexpr WORD RT_GROUP_ICON_ID = 14;
inline constexpr WORD RT_VERSION_ID = 16;
inline constexpr WORD RT_DLGINIT_ID = 240;
#define RT_ICON MAKEINTRESOURCEW(3)
#define RT_DIALOG MAKEINTRESOURCEW(5)
#define RT_GROUP_ICON MAKEINTRESOURCEW(14)
#define RT_VERSION MAKEINTRESOURCEW(16)
#define RT_DLGINIT MAKEINTRESOURCEW(240)

inline constexpr WORD LANG_ENGLISH_US = 1033;
inline constexpr WORD LANG_CHINESE_PRC = 2052;

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

HRSRC FindResourceW(HMODULE hModule, LPCWSTR lpName, LPCWSTR lpType);
HRSRC FindResourceExW(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName, WORD wLanguage);
HGLOBAL LoadResource(HMODULE hModule, HRSRC hResInfo);
LPVOID LockResource(HGLOBAL hResData);
DWORD SizeofResource(HMODULE hModule, HRSRC hResInfo);
