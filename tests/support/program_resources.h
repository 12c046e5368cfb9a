// The program's resources as start-up registers them (link `res`).
#pragma once

#include "platform/entry/program_resources.h"
#include "platform/entry/resource_table.h"

#include <cstdint>
#include <span>

inline std::span<const RESOURCE_ITEM> ProgramResourceTable() {
    std::size_t count = 0;
    const RESOURCE_ITEM* items = ProgramResources(&count);
    return {items, count};
}

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
    return ResourceBytes(RT_DIALOG_ID, 102, LANG_ENGLISH_US);
}
