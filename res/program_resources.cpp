// What start-up registers as the program module's resources.
#include "res/resource_table.h"

#include <cstddef>

const RESOURCE_ITEM* ProgramResources(std::size_t* count);

const RESOURCE_ITEM* ProgramResources(std::size_t* count) {
    const std::span<const RESOURCE_ITEM> table = res::ResourceTable();
    if (count != nullptr) {
        *count = table.size();
    }
    return table.data();
}
