// Icons loaded from a module's icon group resources. The terminal draws no
// pictures; an icon handle keeps what the group holds so that the program's
// icon can be checked and handed to WM_SETICON.
#pragma once

#include "platform/user32/resources/icon_group.h"
#include "platform/win32/types.h"

#include <vector>

namespace user32 {

// The images of a loaded icon, or nullptr for a handle that is not one.
const std::vector<IconImage>* IconImages(HICON icon);

} // namespace user32
