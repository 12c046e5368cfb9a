// The window system's own way to a module's resource bytes (any language),
// built on the FindResource family.
#pragma once

#include "platform/win32/resources.h"

#include <cstdint>
#include <optional>
#include <span>

namespace user32 {

std::optional<std::span<const std::uint8_t>> ResourceBytes(HMODULE hModule, LPCWSTR type, WORD id);

} // namespace user32
