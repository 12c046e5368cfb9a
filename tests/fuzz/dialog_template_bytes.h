// Writes a read dialog template back out in the layout it was read from, and
// compares two read templates value by value.
#pragma once

#include "platform/user32/resources/dialog_template.h"

#include <cstdint>
#include <vector>

namespace fuzz_bytes {

// The shortest bytes of t's layout (classic or extended): zero padding, no
// trailing bytes, creation data sized the way the layout counts it.
std::vector<std::uint8_t> EncodeDialogTemplate(const user32::DialogTemplate& t);

bool SameTemplate(const user32::DialogTemplate& a, const user32::DialogTemplate& b);

} // namespace fuzz_bytes
