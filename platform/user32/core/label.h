// Control labels: "&&" shows as '&', a single '&' marks the next character as
// the mnemonic (shown underlined, reached with Alt and that character).
#pragma once

#include <string>
#include <string_view>

namespace user32 {

struct Label {
    std::u32string text;    // as shown
    int mnemonicIndex = -1; // into text, or -1
    char32_t mnemonic = 0;  // lower-cased, or 0
};

Label ParseLabel(std::u16string_view raw);

} // namespace user32
