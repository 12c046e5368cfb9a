// Writes compiled resources as a Win32 resource file (.res), the input of a
// Windows linker step: windres turns it into an object that puts the same
// bytes into the image's resource section.
#pragma once

#include "res/compiler/source_emitter.h"

#include <cstdint>
#include <vector>

namespace res {

// The 32-bit resource file format: an empty entry that marks the file as
// 32-bit, then per resource a header (data size, header size, type and name
// as ordinals, data version, memory flags, language, version,
// characteristics) and the data, each padded to four bytes.
std::vector<std::uint8_t> EmitResourceFile(const std::vector<CompiledResource>& resources);

} // namespace res
