// Window classes by name, as RegisterClassW keeps them: each control layer
// registers the classes it implements, and windows are created by class name
// alone, so the core needs to know none of them.
#pragma once

#include "platform/user32/core/window.h"

#include <memory>
#include <string_view>

namespace user32 {

// Makes a window of one class; the style lets one class stand for several
// C++ types (a button class makes push buttons, check boxes, group boxes).
using WindowFactory = std::unique_ptr<Window> (*)(DWORD style);

// Registers (or replaces) a class; names compare without regard to case.
void RegisterWindowClass(std::u16string_view name, WindowFactory make);
// A new window of the class, not yet adopted; nullptr for a class nobody
// registered.
std::unique_ptr<Window> CreateWindowOfClass(std::u16string_view name, DWORD style);

} // namespace user32
