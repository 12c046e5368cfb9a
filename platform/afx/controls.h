// Wrappers for the two kinds of control the program drives from code: each
// call is a message to the attached control.
#pragma once

#include "platform/afx/wnd.h"

class CButton : public CWnd {
public:
    int GetCheck() const;
    void SetCheck(int nCheck);
};

class CComboBox : public CWnd {
public:
    int GetCount() const;
    // The selected entry's index, CB_ERR (-1) when none is selected.
    int GetCurSel() const;
    // Selects entry nSelect (-1: none); answers it, or CB_ERR.
    int SetCurSel(int nSelect);
    int AddString(LPCWSTR lpszString);
    int InsertString(int nIndex, LPCWSTR lpszString);
    int DeleteString(UINT nIndex);
    void ResetContent();
    int GetLBText(int nIndex, LPWSTR lpszText) const;
    void GetLBText(int nIndex, CString& rString) const;
    int GetLBTextLen(int nIndex) const;
    // The first entry after nStartAfter (-1: from the start) that begins with
    // lpszString, ignoring case; CB_ERR when none.
    int FindString(int nStartAfter, LPCWSTR lpszString) const;
    int FindStringExact(int nIndexStart, LPCWSTR lpszFind) const;
    int SelectString(int nStartAfter, LPCWSTR lpszString);
    void ShowDropDown(BOOL bShowIt = TRUE);
    BOOL GetDroppedState() const;
};
