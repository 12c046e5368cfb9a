// Text from outside the program (an argument, a link's target, a folder's
// name) made safe to show on a terminal: a control character written raw
// could clear the screen, move the cursor or retitle the window.
#pragma once

#include <string>
#include <string_view>

namespace entry {

// text with each byte that a terminal would act on written as \xHH: the C0
// controls, DEL, the C1 controls (as bytes 0x80 to 0x9F alone or in their
// UTF-8 form) and every byte that is not part of valid UTF-8. A backslash is
// written \\ so that what is shown reads back one way. Everything else,
// other scripts included, is kept as it is.
std::string ShownText(std::string_view text);

} // namespace entry
