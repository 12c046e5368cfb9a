// CFileDialog: the open-file common dialog, run modally.
#pragma once

#include "platform/afx/dialog.h"
#include "platform/win32/commdlg.h"

#include <string>

class CFileDialog : public CDialog {
public:
    // lpszFilter pairs a description with its patterns, "|"-separated and
    // ended by "||": "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||".
    explicit CFileDialog(BOOL bOpenFileDialog, LPCWSTR lpszDefExt = nullptr,
                         LPCWSTR lpszFileName = nullptr, DWORD dwFlags = OFN_HIDEREADONLY,
                         LPCWSTR lpszFilter = nullptr, CWnd* pParentWnd = nullptr);

    // IDOK when a file was chosen, IDCANCEL otherwise. Only the open dialog
    // exists; a save dialog answers IDCANCEL.
    INT_PTR DoModal() override;

    // The chosen file's full path; its name; its extension; its name without extension.
    CString GetPathName() const;

    OPENFILENAMEW m_ofn{};

private:
    BOOL m_bOpenFileDialog;
    std::basic_string<WCHAR> m_filter; // the filter with its separators made zeros
    std::basic_string<WCHAR> m_defExt;
    std::basic_string<WCHAR> m_fileName; // the buffer the dialog writes the path into
};
