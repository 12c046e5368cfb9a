#include "platform/afx/file_dialog.h"

#include <algorithm>

namespace {

constexpr std::size_t kPathCapacity = 4096;

std::basic_string_view<WCHAR> View(LPCWSTR text) {
    return text != nullptr ? std::basic_string_view<WCHAR>(text) : std::basic_string_view<WCHAR>();
}

} // namespace

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCWSTR lpszDefExt, LPCWSTR lpszFileName,
                         DWORD dwFlags, LPCWSTR lpszFilter, CWnd* pParentWnd)
    : CDialog(static_cast<LPCWSTR>(nullptr), pParentWnd), m_bOpenFileDialog(bOpenFileDialog),
      m_filter(View(lpszFilter)), m_defExt(View(lpszDefExt)) {
    // The common dialog wants its filter as zero-separated strings, ended by
    // an empty one.
    std::replace(m_filter.begin(), m_filter.end(), TEXT('|'), TEXT('\0'));
    if (!m_filter.empty() && m_filter.back() != TEXT('\0')) {
        m_filter += TEXT('\0');
    }
    m_filter += TEXT('\0');

    const std::basic_string_view<WCHAR> name = View(lpszFileName);
    m_fileName.assign(kPathCapacity, TEXT('\0'));
    std::copy_n(name.begin(), std::min(name.size(), kPathCapacity - 1), m_fileName.begin());

    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.lpstrFilter = lpszFilter != nullptr ? m_filter.c_str() : nullptr;
    m_ofn.nFilterIndex = 1;
    m_ofn.lpstrFile = m_fileName.data();
    m_ofn.nMaxFile = static_cast<DWORD>(kPathCapacity);
    m_ofn.lpstrDefExt = lpszDefExt != nullptr ? m_defExt.c_str() : nullptr;
    m_ofn.Flags = dwFlags;
}

INT_PTR CFileDialog::DoModal() {
    if (!m_bOpenFileDialog) {
        return IDCANCEL;
    }
    m_ofn.hwndOwner = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr;
    return ::GetOpenFileNameW(&m_ofn) ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const {
    return CString(m_ofn.lpstrFile);
}
