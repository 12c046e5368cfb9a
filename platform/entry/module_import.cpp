#include "platform/entry/module_import.h"

#include <cstring>
#include <windows.h>

namespace entry {
namespace {

BYTE* ImageBase() {
    return reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
}

const IMAGE_NT_HEADERS* ImageHeaders() {
    BYTE* base = ImageBase();
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    return reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
}

// The slot the loader filled for function in the imports of one DLL, found
// by the names the image keeps beside the slots.
ULONG_PTR* FindSlot(BYTE* base, const IMAGE_IMPORT_DESCRIPTOR& dll, const char* function) {
    const DWORD namesAt = dll.OriginalFirstThunk != 0 ? dll.OriginalFirstThunk : dll.FirstThunk;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + namesAt);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll.FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
        if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
            continue;
        }
        const auto* named =
            reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
        if (std::strcmp(reinterpret_cast<const char*>(named->Name), function) == 0) {
            return &slots->u1.Function;
        }
    }
    return nullptr;
}

} // namespace

void* ReplaceModuleImport(const char* dll, const char* function, void* replacement) {
    BYTE* base = ImageBase();
    const IMAGE_DATA_DIRECTORY& imports =
        ImageHeaders()->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) {
        return nullptr;
    }
    for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         entry->Name != 0; ++entry) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), dll) != 0) {
            continue;
        }
        ULONG_PTR* slot = FindSlot(base, *entry, function);
        if (slot == nullptr) {
            continue;
        }
        // The slots may lie in a part of the image the loader made read-only.
        DWORD protection = 0;
        if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection)) {
            return nullptr;
        }
        void* previous = reinterpret_cast<void*>(*slot);
        *slot = reinterpret_cast<ULONG_PTR>(replacement);
        VirtualProtect(slot, sizeof *slot, protection, &protection);
        return previous;
    }
    return nullptr;
}

bool StartedAsConsoleProgram() {
    return ImageHeaders()->OptionalHeader.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_CUI;
}

} // namespace entry
