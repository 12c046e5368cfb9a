// Wrappers for the two kinds of control the program drives from code: each
// call is a message to the attached control.
#pragma once

#include "platform/afx/wnd.h"

// The job buttons are only enabled and disabled (CWnd::EnableWindow).
class CButton : public CWnd {};

class CComboBox : public CWnd {
public:
    int GetCount() const;
    // The selected entry's index, CB_ERR (-1) when none is selected.
    int GetCurSel() const;
    // Selects entry nSelect (-1: none); answers it, or CB_ERR.
    int SetCurSel(int nSelect);
    void ResetContent();
    int GetLBText(int nIndex, LPWSTR lpszText) const;
    void GetLBText(int nIndex, CString& rString) const;
};
