// Writes compiled resources as C++ source: one aligned constant byte array per
// resource and the table that start-up registers (ProgramResources). The
// generated source stands where a Win32 linker's resource section would: below
// the seam, so it is the only part of res/ that speaks the platform's table.
#pragma once

#include "platform/win32/types.h"

#include <cstdint>
#include <string>
#include <vector>

namespace res {

struct CompiledResource {
    WORD type;
    WORD id;
    WORD language;
    std::string description; // a comment above the array
    std::vector<std::uint8_t> bytes;
};

std::string EmitResourceSource(const std::vector<CompiledResource>& resources);

} // namespace res
