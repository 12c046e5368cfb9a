// The builtin control classes, registered with the window core by name as
// user32 registers its own: "Button", "Edit", "Static", "ListBox",
// "ComboBox" and "ComboLBox" (a combo box's dropped list).
#pragma once

namespace user32 {

void RegisterControlClasses();

} // namespace user32
