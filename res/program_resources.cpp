// What start-up registers as the program module's resources.
#include "platform/entry/program_resources.h"

#include "platform/entry/resource_table.h"
#include "res/resource_table.h"

const RESOURCE_ITEM* ProgramResources(std::size_t* count) {
    const std::span<const RESOURCE_ITEM> table = res::ResourceTable();
    if (count != nullptr) {
        *count = table.size();
    }
    return table.data();
}
