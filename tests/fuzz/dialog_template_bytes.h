// Writes a read dialog template back out in the layout it was read from, and
// compares two read templates value by value.
#pragma once

#include "platform/windows/resources/dialog_template.h"

#include <cstdint>
#include <vector>

namespace fuzz_bytes {

// The shortest bytes of t's layout (classic or extended): zero padding, no
// trailing bytes, creation data sized the way the layout counts it.
std::vector<std::uint8_t> EncodeDialogTemplate(const windows::DialogTemplate& t);

bool SameTemplate(const windows::DialogTemplate& a, const windows::DialogTemplate& b);

} // namespace fuzz_bytes
