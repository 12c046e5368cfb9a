#include "platform/afx/dialog_init.h"

#include "platform/afx/module_state.h"
#include "platform/win32/user.h"

#include <string>

namespace {

std::uint32_t Read(std::span<const std::uint8_t> bytes, std::size_t at, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i) {
        value |= static_cast<std::uint32_t>(bytes[at + i]) << (8 * i);
    }
    return value;
}

// The string of an add-string record: up to its terminator, or the whole
// record if a broken one has none.
std::basic_string<WCHAR> RecordText(std::span<const std::uint8_t> bytes) {
    std::basic_string<WCHAR> text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto ch = static_cast<WCHAR>(Read(bytes, i, 2));
        if (ch == 0) {
            break;
        }
        text += ch;
    }
    return text;
}

} // namespace

BOOL AfxReplayDlgInit(HWND hDlg, std::span<const std::uint8_t> data) {
    std::size_t at = 0;
    for (;;) {
        if (at + 2 > data.size()) {
            return FALSE; // no terminator
        }
        const auto controlId = static_cast<WORD>(Read(data, at, 2));
        if (controlId == 0) {
            return TRUE;
        }
        if (at + 8 > data.size()) {
            return FALSE;
        }
        const auto message = static_cast<WORD>(Read(data, at + 2, 2));
        const std::uint32_t length = Read(data, at + 4, 4);
        at += 8;
        if (length > data.size() - at) {
            return FALSE;
        }
        const auto record = data.subspan(at, length);
        at += length;

        if (message == kDlgInitAddComboString) {
            const std::basic_string<WCHAR> text = RecordText(record);
            ::SendMessageW(::GetDlgItem(hDlg, controlId), CB_ADDSTRING, 0,
                           reinterpret_cast<LPARAM>(text.c_str()));
        }
        // Other records are for kinds of control this framework does not have.
    }
}

BOOL AfxExecuteDlgInit(HWND hDlg, LPCWSTR lpszTemplateName) {
    HINSTANCE module = AfxFindResourceHandle(lpszTemplateName, RT_DLGINIT);
    HRSRC found = ::FindResourceW(module, lpszTemplateName, RT_DLGINIT);
    if (found == nullptr) {
        return TRUE;
    }
    const void* bytes = ::LockResource(::LoadResource(module, found));
    const DWORD size = ::SizeofResource(module, found);
    if (bytes == nullptr) {
        return FALSE;
    }
    return AfxReplayDlgInit(hDlg, {static_cast<const std::uint8_t*>(bytes), size});
}
