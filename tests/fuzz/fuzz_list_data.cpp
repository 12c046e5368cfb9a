// Any bytes as a dialog's list data, read by the framework's reader and
// replayed by the framework into a live combo box. Properties: no crash or
// read past the end; the records read lie inside the bytes, in order and one
// after another; a record's string holds no zero and fits in its record; the
// replay answers as the reader does and adds exactly the strings of the
// add-string records for its control, in order; whole lists that the resource
// compiler could have written come back from it byte for byte.
#include "fuzz_check.h"
#include "platform/afx/dialog_init.h"
#include "platform/user32/core/window_system.h"
#include "platform/user32/dialogs/dialog_manager.h"
#include "platform/win32/user.h"
#include "res/compiler/layouts.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kComboId = 1000;

// One dialog with one combo box, made once and emptied before each input.
HWND ListDialog() {
    static HWND dialog = [] {
        user32::DialogTemplate tpl;
        tpl.cx = 100;
        tpl.cy = 60;
        user32::DialogItemTemplate combo;
        combo.style = WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST;
        combo.cx = 80;
        combo.cy = 50;
        combo.id = kComboId;
        combo.windowClass = {true, user32::kClassComboBox, {}};
        tpl.items.push_back(combo);
        return user32::CreateDialogWindow(tpl, nullptr)->hwnd();
    }();
    return dialog;
}

std::vector<std::u16string> Entries(HWND combo) {
    std::vector<std::u16string> entries;
    const auto count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const auto length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        FUZZ_CHECK(length >= 0);
        std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(length));
        entries.push_back(text);
    }
    return entries;
}

// The compiler writes add-string records whose data is the string and its
// terminator, nothing more.
bool CompilerCouldWrite(const std::vector<AFX_DLGINIT_RECORD>& records,
                        const std::vector<std::u16string>& texts) {
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (records[i].nMsg != WIN16_CB_ADDSTRING ||
            records[i].data.size() != 2 * (texts[i].size() + 1)) {
            return false;
        }
    }
    return true;
}

std::vector<std::uint8_t> LayOutWithCompiler(const std::vector<AFX_DLGINIT_RECORD>& records,
                                             const std::vector<std::u16string>& texts) {
    // One fill per record keeps the records' order whatever their controls.
    std::vector<std::u16string_view> entries(texts.begin(), texts.end());
    std::vector<res::ControlFill> fills;
    for (std::size_t i = 0; i < records.size(); ++i) {
        fills.push_back({records[i].nIDC, records[i].nMsg, {&entries[i], 1}});
    }
    return res::LayOutListData({1, 0, fills});
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> in(data, size);
    const HWND dialog = ListDialog();
    const HWND combo = GetDlgItem(dialog, kComboId);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    const BOOL whole = AfxReplayDlgInit(dialog, in);
    const std::vector<std::u16string> added = Entries(combo);

    std::vector<AFX_DLGINIT_RECORD> records;
    const BOOL read = AfxReadDlgInit(in, &records);
    FUZZ_CHECK(read == whole);

    std::size_t used = 0;
    std::vector<std::u16string> texts;
    std::vector<std::u16string> expected;
    for (const AFX_DLGINIT_RECORD& r : records) {
        FUZZ_CHECK(r.nIDC != 0);
        used += 8;
        FUZZ_CHECK(r.data.data() == in.data() + used);
        used += r.data.size();
        texts.push_back(AfxDlgInitString(r.data));
        FUZZ_CHECK(texts.back().find(u'\0') == std::u16string::npos);
        FUZZ_CHECK(2 * texts.back().size() <= r.data.size());
        if (r.nMsg == WIN16_CB_ADDSTRING && r.nIDC == kComboId) {
            expected.push_back(texts.back());
        }
    }
    FUZZ_CHECK(used <= size);
    FUZZ_CHECK(added == expected);

    if (read && CompilerCouldWrite(records, texts)) {
        const std::vector<std::uint8_t> compiled = LayOutWithCompiler(records, texts);
        FUZZ_CHECK(compiled.size() == used + 2);
        FUZZ_CHECK(std::equal(compiled.begin(), compiled.end(), in.begin()));
    }
    return 0;
}
