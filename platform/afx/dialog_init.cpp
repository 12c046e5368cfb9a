#include "platform/afx/dialog_init.h"

#include "platform/afx/module_state.h"
#include "platform/win32/user.h"

#include <string>
#include <vector>

BOOL AfxReplayDlgInit(HWND hDlg, std::span<const std::uint8_t> data) {
    std::vector<AFX_DLGINIT_RECORD> records;
    const BOOL whole = AfxReadDlgInit(data, &records);
    for (const AFX_DLGINIT_RECORD& record : records) {
        if (record.nMsg == WIN16_CB_ADDSTRING) {
            const std::basic_string<WCHAR> text = AfxDlgInitString(record.data);
            ::SendMessageW(::GetDlgItem(hDlg, record.nIDC), CB_ADDSTRING, 0,
                           reinterpret_cast<LPARAM>(text.c_str()));
        }
        // Other records are for kinds of control this framework does not have.
    }
    return whole;
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
