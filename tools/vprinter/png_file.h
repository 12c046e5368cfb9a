#pragma once

#include "tools/vprinter/raster.h"

#include <optional>
#include <string>

namespace vprinter {

// Black and white PNG files, one bit a dot, with the paper's resolution of
// 8 dots per millimetre recorded so that viewers can show true size.
// Written to a temporary name and renamed, so a reader never sees half a file.
bool write_png(const PackedRows& packed, const std::string& path, std::string* error);
bool write_png(const Raster& raster, const std::string& path, std::string* error);
std::optional<Raster> read_png(const std::string& path, std::string* error);

} // namespace vprinter
