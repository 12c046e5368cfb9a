// The program's resources, as the start-up code registers them for the
// program's module. Defined by res/, the way a Win32 program's resources are
// linked into its image.
#pragma once

#include "platform/entry/resource_table.h"

#include <cstddef>

// The table and, in *count, its number of items; the table lives for the
// whole run.
const RESOURCE_ITEM* ProgramResources(std::size_t* count);
