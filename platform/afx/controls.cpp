#include "platform/afx/controls.h"

namespace {

WPARAM Index(int index) {
    return static_cast<WPARAM>(index);
}

LPARAM Text(LPCWSTR text) {
    return reinterpret_cast<LPARAM>(text);
}

} // namespace

int CButton::GetCheck() const {
    return static_cast<int>(SendMessage(BM_GETCHECK));
}

void CButton::SetCheck(int nCheck) {
    SendMessage(BM_SETCHECK, Index(nCheck));
}

int CComboBox::GetCount() const {
    return static_cast<int>(SendMessage(CB_GETCOUNT));
}

int CComboBox::GetCurSel() const {
    return static_cast<int>(SendMessage(CB_GETCURSEL));
}

int CComboBox::SetCurSel(int nSelect) {
    return static_cast<int>(SendMessage(CB_SETCURSEL, Index(nSelect)));
}

int CComboBox::AddString(LPCWSTR lpszString) {
    return static_cast<int>(SendMessage(CB_ADDSTRING, 0, Text(lpszString)));
}

int CComboBox::InsertString(int nIndex, LPCWSTR lpszString) {
    return static_cast<int>(SendMessage(CB_INSERTSTRING, Index(nIndex), Text(lpszString)));
}

int CComboBox::DeleteString(UINT nIndex) {
    return static_cast<int>(SendMessage(CB_DELETESTRING, nIndex));
}

void CComboBox::ResetContent() {
    SendMessage(CB_RESETCONTENT);
}

int CComboBox::GetLBText(int nIndex, LPWSTR lpszText) const {
    return static_cast<int>(
        SendMessage(CB_GETLBTEXT, Index(nIndex), reinterpret_cast<LPARAM>(lpszText)));
}

void CComboBox::GetLBText(int nIndex, CString& rString) const {
    const int length = GetLBTextLen(nIndex);
    if (length <= 0) {
        rString.Empty();
        return;
    }
    const int copied = GetLBText(nIndex, rString.GetBuffer(length));
    rString.ReleaseBuffer(copied > 0 ? copied : 0);
}

int CComboBox::GetLBTextLen(int nIndex) const {
    return static_cast<int>(SendMessage(CB_GETLBTEXTLEN, Index(nIndex)));
}

int CComboBox::FindString(int nStartAfter, LPCWSTR lpszString) const {
    return static_cast<int>(SendMessage(CB_FINDSTRING, Index(nStartAfter), Text(lpszString)));
}

int CComboBox::FindStringExact(int nIndexStart, LPCWSTR lpszFind) const {
    return static_cast<int>(SendMessage(CB_FINDSTRINGEXACT, Index(nIndexStart), Text(lpszFind)));
}

int CComboBox::SelectString(int nStartAfter, LPCWSTR lpszString) {
    return static_cast<int>(SendMessage(CB_SELECTSTRING, Index(nStartAfter), Text(lpszString)));
}

void CComboBox::ShowDropDown(BOOL bShowIt) {
    SendMessage(CB_SHOWDROPDOWN, static_cast<WPARAM>(bShowIt));
}

BOOL CComboBox::GetDroppedState() const {
    return static_cast<BOOL>(SendMessage(CB_GETDROPPEDSTATE));
}
