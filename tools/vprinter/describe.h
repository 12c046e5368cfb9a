#pragma once

#include "tools/vprinter/events.h"

#include <cstdint>
#include <span>
#include <string>

namespace vprinter {

// "1B 55 02"
std::string hex_bytes(std::span<const std::uint8_t> bytes);

// "width x2, height x1, underline": the parts that differ from plain print
// are named; width and height always are.
std::string describe_state(const FormatState& state);

// A one-line note for a decoder event, for people reading the roll. Lines
// themselves have no note.
std::string describe(const Event& event);

} // namespace vprinter
