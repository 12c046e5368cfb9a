// The module resource table. A module's resources are registered as an array
// of items; a resource handle (HRSRC) is the address of one of those items and
// is checked against the module's table before use.
#include "platform/entry/resource_table.h"
#include "platform/user32/resources/module_resources.h"
#include "platform/win32/kernel.h"

#include <map>
#include <vector>

namespace {

struct ModuleTable {
    const RESOURCE_ITEM* items = nullptr;
    std::size_t count = 0;
};

std::map<HMODULE, ModuleTable>& Modules() {
    static std::map<HMODULE, ModuleTable> modules;
    return modules;
}

const ModuleTable* TableFor(HMODULE hModule) {
    auto& modules = Modules();
    // A null module means the program's own, as on Win32.
    auto it = modules.find(hModule != nullptr ? hModule : GetModuleHandleW(nullptr));
    return it == modules.end() ? nullptr : &it->second;
}

bool IntegerName(LPCWSTR name, WORD& id) {
    if (name == nullptr || !IS_INTRESOURCE(name)) {
        return false; // only numbered resources exist in this system
    }
    id = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name));
    return true;
}

const RESOURCE_ITEM* Find(HMODULE hModule, LPCWSTR type, LPCWSTR name, bool anyLanguage,
                          WORD language) {
    WORD typeId = 0, id = 0;
    const ModuleTable* table = TableFor(hModule);
    if (table == nullptr || !IntegerName(type, typeId) || !IntegerName(name, id)) {
        return nullptr;
    }
    const RESOURCE_ITEM* first = nullptr;
    for (std::size_t i = 0; i < table->count; ++i) {
        const RESOURCE_ITEM& item = table->items[i];
        if (item.type != typeId || item.id != id) {
            continue;
        }
        if (!anyLanguage && item.language == language) {
            return &item;
        }
        if (first == nullptr) {
            first = &item;
        }
    }
    return first;
}

const RESOURCE_ITEM* Validate(HMODULE hModule, HRSRC hResInfo) {
    const ModuleTable* table = TableFor(hModule);
    const auto* wanted = reinterpret_cast<const RESOURCE_ITEM*>(hResInfo);
    if (table == nullptr || wanted == nullptr) {
        return nullptr;
    }
    for (std::size_t i = 0; i < table->count; ++i) {
        if (&table->items[i] == wanted) {
            return wanted;
        }
    }
    return nullptr;
}

} // namespace

void RegisterModuleResources(HMODULE hModule, const RESOURCE_ITEM* items, std::size_t count) {
    Modules()[hModule] = ModuleTable{items, items == nullptr ? 0 : count};
}

HRSRC FindResourceW(HMODULE hModule, LPCWSTR lpName, LPCWSTR lpType) {
    return reinterpret_cast<HRSRC>(
        const_cast<RESOURCE_ITEM*>(Find(hModule, lpType, lpName, true, 0)));
}

HRSRC FindResourceExW(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName, WORD wLanguage) {
    return reinterpret_cast<HRSRC>(
        const_cast<RESOURCE_ITEM*>(Find(hModule, lpType, lpName, false, wLanguage)));
}

HGLOBAL LoadResource(HMODULE hModule, HRSRC hResInfo) {
    const RESOURCE_ITEM* item = Validate(hModule, hResInfo);
    if (item == nullptr || item->data == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<HGLOBAL>(const_cast<BYTE*>(item->data));
}

LPVOID LockResource(HGLOBAL hResData) {
    return reinterpret_cast<LPVOID>(hResData);
}

DWORD SizeofResource(HMODULE hModule, HRSRC hResInfo) {
    const RESOURCE_ITEM* item = Validate(hModule, hResInfo);
    return item == nullptr ? 0 : item->size;
}

namespace user32 {

std::optional<std::span<const std::uint8_t>> ResourceBytes(HMODULE hModule, LPCWSTR type, WORD id) {
    HRSRC res = FindResourceW(hModule, MAKEINTRESOURCEW(id), type);
    if (res == nullptr) {
        return std::nullopt;
    }
    const auto* item = reinterpret_cast<const RESOURCE_ITEM*>(res);
    if (item->data == nullptr) {
        return std::span<const std::uint8_t>{};
    }
    return std::span<const std::uint8_t>(item->data, item->size);
}

} // namespace user32
