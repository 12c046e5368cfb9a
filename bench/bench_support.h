// Small pieces the benchmark programs share: their command line (usage.h)
// and a dialog that holds only the form's multi-line text box, for timing and
// measuring it alone.
#pragma once

#include "bench/usage.h"
#include "platform/user32/resources/dialog_template.h"
#include "platform/win32/user.h"

#include <string>
#include <string_view>

namespace bench {

// The form's text box: its control id, style and place.
inline constexpr int kTextId = 1003;

inline user32::DialogTemplate TextBoxDialog(const std::u16string& title, DWORD exStyle = 0) {
    user32::DialogTemplate t;
    t.style = WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_SETFONT;
    t.exStyle = exStyle;
    t.cx = 141;
    t.cy = 155;
    t.title = title;
    user32::DialogItemTemplate edit;
    edit.windowClass = user32::NameOrOrdinal{true, user32::kClassEdit, {}};
    edit.id = kTextId;
    edit.style = 0x50A11044; // as on the form
    edit.x = 0;
    edit.y = 106;
    edit.cx = 137;
    edit.cy = 48;
    t.items.push_back(edit);
    return t;
}

} // namespace bench
