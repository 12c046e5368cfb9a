// CDialog: a dialog from a template, run modally. Its initialisation fills
// the lists from the dialog's list data and refreshes the form; OK reads the
// form and ends the run with IDOK, cancel ends it with IDCANCEL.
#pragma once

#include "platform/afx/wnd.h"

class CDialog : public CWnd {
public:
    CDialog() = default;
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    explicit CDialog(LPCWSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Shows the dialog and returns when it ends: the code given to
    // EndDialog, or -1 when the dialog could not be made.
    virtual INT_PTR DoModal();
    virtual BOOL OnInitDialog();

    void EndDialog(int nResult);

protected:
    virtual void OnOK();
    virtual void OnCancel();

    LPCWSTR m_lpszTemplateName = nullptr;
    CWnd* m_pParentWnd = nullptr;

    DECLARE_MESSAGE_MAP()

public:
    // Whether the dialog is stretched over the whole screen when it starts
    // (the handheld platform's way); 0 keeps the template's size. Stays the
    // last member of the class.
    BOOL m_bFullScreen = TRUE;
};

// The dialog procedure of every CDialog: WM_INITDIALOG attaches the object
// (passed as the start parameter) and runs OnInitDialog; WM_COMMAND goes
// through the message maps.
INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
