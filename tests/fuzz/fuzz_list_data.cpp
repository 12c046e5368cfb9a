// Any bytes as a dialog's list data, read by the window system's reader and
// replayed by the framework into a live combo box. Properties: no crash or
// read past the end; an accepted list fits inside its bytes and its strings
// hold no zero; whatever the window system accepts, the framework replays
// whole, adding exactly the accepted strings for its control in order, and
// whatever the framework finds cut short the window system refuses; lists the
// resource compiler could have written come back from it byte for byte.
#include "fuzz_check.h"
#include "platform/afx/dialog_init.h"
#include "platform/win32/user.h"
#include "platform/windows/resources/dialog_init.h"
#include "platform/windows/dialogs/dialog_manager.h"
#include "platform/windows/core/window_system.h"
#include "res/compiler/layouts.h"

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
        windows::DialogTemplate tpl;
        tpl.cx = 100;
        tpl.cy = 60;
        windows::DialogItemTemplate combo;
        combo.style = WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST;
        combo.cx = 80;
        combo.cy = 50;
        combo.id = kComboId;
        combo.windowClass = {true, windows::kClassComboBox, {}};
        tpl.items.push_back(combo);
        return windows::CreateDialogWindow(tpl, nullptr)->hwnd;
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
bool CompilerCouldWrite(const std::vector<windows::DialogInitRecord>& records) {
    for (const auto& r : records) {
        if (r.message != windows::kInitAddString || r.data.size() != 2 * (r.text.size() + 1)) {
            return false;
        }
    }
    return true;
}

std::vector<std::uint8_t>
LayOutWithCompiler(const std::vector<windows::DialogInitRecord>& records) {
    // One fill per record keeps the records' order whatever their controls.
    std::vector<std::u16string_view> entries;
    entries.reserve(records.size());
    for (const auto& r : records) {
        entries.push_back(r.text);
    }
    std::vector<res::ControlFill> fills;
    for (std::size_t i = 0; i < records.size(); ++i) {
        fills.push_back({records[i].controlId, records[i].message, {&entries[i], 1}});
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

    const auto read = windows::ReadDialogInit(in);
    if (!read) {
        FUZZ_CHECK(read.error().offset <= size);
        return 0;
    }
    FUZZ_CHECK(whole);

    std::size_t used = 2; // the end marker
    std::vector<std::u16string> expected;
    for (const auto& r : read.value()) {
        FUZZ_CHECK(r.controlId != 0);
        used += 8 + r.data.size();
        if (r.message == windows::kInitAddString) {
            FUZZ_CHECK(r.text.find(u'\0') == std::u16string::npos);
            FUZZ_CHECK(2 * (r.text.size() + 1) <= r.data.size());
            if (r.controlId == kComboId) {
                expected.push_back(r.text);
            }
        } else {
            FUZZ_CHECK(r.text.empty());
        }
    }
    FUZZ_CHECK(used <= size);
    FUZZ_CHECK(added == expected);

    if (CompilerCouldWrite(read.value())) {
        const std::vector<std::uint8_t> compiled = LayOutWithCompiler(read.value());
        FUZZ_CHECK(compiled.size() == used);
        FUZZ_CHECK(std::equal(compiled.begin(), compiled.end(), in.begin()));
    }
    return 0;
}
