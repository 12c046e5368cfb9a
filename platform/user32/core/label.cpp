#include "platform/user32/core/label.h"

#include "platform/text/fold_case.h"
#include "platform/text/unicode.h"

namespace user32 {

Label ParseLabel(std::u16string_view raw) {
    const std::u32string s = text::Utf16ToUtf32(raw);
    Label label;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != U'&') {
            label.text += s[i];
            continue;
        }
        if (i + 1 >= s.size()) {
            break; // a trailing '&' marks nothing
        }
        ++i;
        if (s[i] != U'&' && label.mnemonicIndex < 0) {
            label.mnemonicIndex = static_cast<int>(label.text.size());
            label.mnemonic = text::FoldCase(s[i]);
        }
        label.text += s[i];
    }
    return label;
}

} // namespace user32
