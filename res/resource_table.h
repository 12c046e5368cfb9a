// The program's compiled resources: form template and list data 102, the
// icon groups 128 and 136 with their images, and the version block.
#pragma once

#include "platform/entry/resource_table.h"

#include <span>

namespace res {

// Every resource of the program, in a table that lives for the whole run.
// Defined in the source that the resource compiler generates.
std::span<const RESOURCE_ITEM> ResourceTable();

} // namespace res
