// Writes compiled resources as C++ source: one aligned constant byte array per
// resource and the table that the program registers at start-up.
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
