// Which characters a terminal shows inside the cell of the character before
// them: combining marks and the invisible format characters (zero-width
// space and joiners, direction marks, the byte-order mark), as wcwidth
// counts them. The screen joins them to their base character.
#pragma once

namespace text {

bool TakesNoCell(char32_t c);

} // namespace text
