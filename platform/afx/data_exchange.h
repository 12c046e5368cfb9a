// Dialog data exchange: one routine per kind of binding between a control
// and a member, run in one of two directions. Reading the form (save) copies
// the controls into the members; refreshing it copies the members into the
// controls.
#pragma once

#include "platform/afx/cstring.h"
#include "platform/win32/types.h"

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

    BOOL m_bSaveAndValidate; // TRUE: controls to members
    CWnd* m_pDlgWnd;         // the dialog whose controls are exchanged

    // The control nIDC of the dialog, remembered as the last one prepared;
    // nullptr when the dialog has no such control.
    HWND PrepareCtrl(int nIDC);
    HWND PrepareEditCtrl(int nIDC);

    HWND m_hWndLastControl = nullptr;
    BOOL m_bEditLastControl = FALSE;
};

// Attaches rControl to control nIDC, once: a wrapper already attached stays.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// The control's text and value.
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
// A check box's state (0 clear, 1 ticked, 2 indeterminate) and value.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// A combo box's text and value. Refreshing selects the first entry that
// begins with the text, ignoring case; with none, the text is placed in the
// edit field and nothing is selected; an empty text clears both.
void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);
