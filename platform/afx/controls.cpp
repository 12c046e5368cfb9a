#include "platform/afx/controls.h"

namespace {

WPARAM Index(int index) {
    return static_cast<WPARAM>(index);
}

} // namespace

int CComboBox::GetCount() const {
    return static_cast<int>(SendMessage(CB_GETCOUNT));
}

int CComboBox::GetCurSel() const {
    return static_cast<int>(SendMessage(CB_GETCURSEL));
}

int CComboBox::SetCurSel(int nSelect) {
    return static_cast<int>(SendMessage(CB_SETCURSEL, Index(nSelect)));
}

void CComboBox::ResetContent() {
    SendMessage(CB_RESETCONTENT);
}

int CComboBox::GetLBText(int nIndex, LPWSTR lpszText) const {
    return static_cast<int>(
        SendMessage(CB_GETLBTEXT, Index(nIndex), reinterpret_cast<LPARAM>(lpszText)));
}

void CComboBox::GetLBText(int nIndex, CString& rString) const {
    const int length = static_cast<int>(SendMessage(CB_GETLBTEXTLEN, Index(nIndex)));
    if (length <= 0) {
        rString.Empty();
        return;
    }
    const int copied = GetLBText(nIndex, rString.GetBuffer(length));
    rString.ReleaseBuffer(copied > 0 ? copied : 0);
}
