#include "platform/afx/dialog.h"

#include "platform/afx/dialog_init.h"
#include "platform/afx/module_state.h"
#include "platform/win32/resources.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCEW(nIDTemplate)), m_pParentWnd(pParentWnd) {}

CDialog::CDialog(LPCWSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() = default;

INT_PTR CDialog::DoModal() {
    HINSTANCE module = AfxFindResourceHandle(m_lpszTemplateName, RT_DIALOG);
    HWND parent = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr;
    const INT_PTR result = ::DialogBoxParamW(module, m_lpszTemplateName, parent, &AfxDlgProc,
                                             reinterpret_cast<LPARAM>(this));
    // The dialog and its controls are gone: their wrappers let go.
    AfxDetachDestroyedWindows();
    Detach();
    return result;
}

BOOL CDialog::OnInitDialog() {
    AfxExecuteDlgInit(m_hWnd, m_lpszTemplateName);
    UpdateData(FALSE);
    return TRUE; // the first tab stop takes the focus
}

void CDialog::EndDialog(int nResult) {
    ::EndDialog(m_hWnd, nResult);
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) {
        return;
    }
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

namespace {

void StretchOverScreen(HWND hWnd) {
    RECT screen{};
    if (::GetWindowRect(::GetDesktopWindow(), &screen)) {
        ::MoveWindow(hWnd, screen.left, screen.top, screen.right - screen.left,
                     screen.bottom - screen.top, TRUE);
    }
}

} // namespace

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<CDialog*>(lParam);
        if (dialog == nullptr) {
            return TRUE;
        }
        dialog->Attach(hWnd);
        const BOOL focusDefault = dialog->OnInitDialog();
        if (dialog->m_bFullScreen) {
            StretchOverScreen(hWnd);
        }
        return focusDefault;
    }
    CWnd* window = CWnd::FromHandlePermanent(hWnd);
    if (window == nullptr) {
        return FALSE;
    }
    if (message == WM_COMMAND) {
        return window->OnCommand(wParam, lParam);
    }
    return FALSE;
}
