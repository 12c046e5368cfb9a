#include "platform/afx/data_exchange.h"

#include "platform/afx/wnd.h"
#include "platform/win32/user.h"

HWND CDataExchange::PrepareCtrl(int nIDC) {
    HWND hWnd = m_pDlgWnd != nullptr ? ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC) : nullptr;
    m_hWndLastControl = hWnd;
    m_bEditLastControl = FALSE;
    return hWnd;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC) {
    HWND hWnd = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return hWnd;
}

namespace {

void ReadWindowText(HWND hWnd, CString& value) {
    const int length = ::GetWindowTextLengthW(hWnd);
    if (length <= 0) {
        value.Empty();
        return;
    }
    const int copied = ::GetWindowTextW(hWnd, value.GetBufferToFill(length), length + 1);
    value.ReleaseBuffer(copied > 0 ? copied : 0);
}

bool IsDropDownList(HWND hWnd) {
    return (static_cast<DWORD>(::GetWindowLongW(hWnd, GWL_STYLE)) & 0x3) == CBS_DROPDOWNLIST;
}

CString SelectedEntry(HWND hWnd) {
    const LRESULT index = ::SendMessageW(hWnd, CB_GETCURSEL, 0, 0);
    if (index < 0) {
        return {};
    }
    const LRESULT length = ::SendMessageW(hWnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length <= 0) {
        return {};
    }
    CString text;
    const LRESULT copied =
        ::SendMessageW(hWnd, CB_GETLBTEXT, static_cast<WPARAM>(index),
                       reinterpret_cast<LPARAM>(text.GetBuffer(static_cast<int>(length))));
    text.ReleaseBuffer(copied > 0 ? static_cast<int>(copied) : 0);
    return text;
}

} // namespace

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd != nullptr) {
        return;
    }
    if (HWND hWnd = pDX->PrepareCtrl(nIDC)) {
        rControl.Attach(hWnd);
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
    HWND hWnd = pDX->PrepareEditCtrl(nIDC);
    if (hWnd == nullptr) {
        return;
    }
    if (pDX->m_bSaveAndValidate) {
        ReadWindowText(hWnd, value);
    } else {
        ::SetWindowTextW(hWnd, value);
    }
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (hWnd == nullptr) {
        return;
    }
    if (pDX->m_bSaveAndValidate) {
        value = static_cast<int>(::SendMessageW(hWnd, BM_GETCHECK, 0, 0));
    } else {
        ::SendMessageW(hWnd, BM_SETCHECK, static_cast<WPARAM>(value), 0);
    }
}

void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value) {
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (hWnd == nullptr) {
        return;
    }
    if (pDX->m_bSaveAndValidate) {
        // A drop-down list has no edit field: its text is the selected entry.
        if (IsDropDownList(hWnd)) {
            value = SelectedEntry(hWnd);
        } else {
            ReadWindowText(hWnd, value);
        }
        return;
    }
    if (value.IsEmpty()) {
        ::SendMessageW(hWnd, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        ::SetWindowTextW(hWnd, TEXT(""));
        return;
    }
    const LRESULT found = ::SendMessageW(hWnd, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(value.GetString()));
    if (found == CB_ERR) {
        // A failed search leaves the old selection; the stored text is what
        // the box must show, with no entry claiming to be it.
        ::SendMessageW(hWnd, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        if (!IsDropDownList(hWnd)) {
            ::SetWindowTextW(hWnd, value);
        }
    }
}
