#include "platform/afx/wnd.h"

#include "platform/afx/data_exchange.h"
#include "platform/afx/win_app.h"

#include <iterator>
#include <memory>
#include <unordered_map>

namespace {

// Objects attached to windows, and the temporary wrappers handed out for
// windows that have none.
std::unordered_map<HWND, CWnd*>& PermanentMap() {
    static std::unordered_map<HWND, CWnd*> map;
    return map;
}

std::unordered_map<HWND, std::unique_ptr<CWnd>>& TemporaryMap() {
    static std::unordered_map<HWND, std::unique_ptr<CWnd>> map;
    return map;
}

} // namespace

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::~CWnd() {
    Detach();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    const auto found = PermanentMap().find(hWnd);
    return found != PermanentMap().end() ? found->second : nullptr;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (hWnd == nullptr) {
        return nullptr;
    }
    if (CWnd* permanent = FromHandlePermanent(hWnd)) {
        return permanent;
    }
    std::unique_ptr<CWnd>& temporary = TemporaryMap()[hWnd];
    if (!temporary) {
        temporary = std::make_unique<CWnd>();
        temporary->m_hWnd = hWnd; // not in the permanent map
    }
    return temporary.get();
}

BOOL CWnd::Attach(HWND hWndNew) {
    if (hWndNew == nullptr || m_hWnd != nullptr || FromHandlePermanent(hWndNew) != nullptr) {
        return FALSE;
    }
    m_hWnd = hWndNew;
    PermanentMap()[hWndNew] = this;
    TemporaryMap().erase(hWndNew);
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hWnd = m_hWnd;
    if (hWnd != nullptr) {
        const auto found = PermanentMap().find(hWnd);
        if (found != PermanentMap().end() && found->second == this) {
            PermanentMap().erase(found);
        }
    }
    m_hWnd = nullptr;
    return hWnd;
}

void AfxDetachDestroyedWindows() {
    auto& permanent = PermanentMap();
    for (auto it = permanent.begin(); it != permanent.end();) {
        if (!IsWindow(it->first)) {
            it->second->m_hWnd = nullptr;
            it = permanent.erase(it);
        } else {
            ++it;
        }
    }
    std::erase_if(TemporaryMap(), [](const auto& entry) { return !IsWindow(entry.first); });
}

CWnd* CWnd::GetDlgItem(int nID) const {
    return FromHandle(::GetDlgItem(m_hWnd, nID));
}

void CWnd::GetDlgItem(int nID, HWND* phWnd) const {
    *phWnd = ::GetDlgItem(m_hWnd, nID);
}

int CWnd::GetDlgCtrlID() const {
    return ::GetDlgCtrlID(m_hWnd);
}

CWnd* CWnd::GetParent() const {
    return FromHandle(::GetParent(m_hWnd));
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::EnableWindow(BOOL bEnable) {
    return ::EnableWindow(m_hWnd, bEnable);
}

BOOL CWnd::IsWindowEnabled() const {
    return ::IsWindowEnabled(m_hWnd);
}

void CWnd::GetWindowText(CString& rString) const {
    const int length = ::GetWindowTextLengthW(m_hWnd);
    if (length <= 0) {
        rString.Empty();
        return;
    }
    LPWSTR buffer = rString.GetBufferToFill(length);
    const int copied = ::GetWindowTextW(m_hWnd, buffer, length + 1);
    rString.ReleaseBuffer(copied > 0 ? copied : 0);
}

CWnd* CWnd::SetFocus() {
    return FromHandle(::SetFocus(m_hWnd));
}

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon) {
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
}

void CWnd::CenterWindow(CWnd* pAlternateOwner) {
    HWND center = pAlternateOwner != nullptr ? pAlternateOwner->m_hWnd : ::GetDesktopWindow();
    RECT area{};
    RECT window{};
    if (!::GetWindowRect(center, &area) || !::GetWindowRect(m_hWnd, &window)) {
        return;
    }
    const LONG width = window.right - window.left;
    const LONG height = window.bottom - window.top;
    LONG left = area.left + (area.right - area.left - width) / 2;
    LONG top = area.top + (area.bottom - area.top - height) / 2;
    // A window larger than the area keeps its top-left corner in view.
    left = left < area.left ? area.left : left;
    top = top < area.top ? area.top : top;
    // Positions are relative to the parent's client area for a child window,
    // to the screen otherwise; the desktop covers the screen from (0, 0).
    ::MoveWindow(m_hWnd, left, top, width, height, TRUE);
}

int CWnd::MessageBox(LPCWSTR lpszText, LPCWSTR lpszCaption, UINT nType) {
    return ::MessageBoxW(m_hWnd, lpszText, lpszCaption != nullptr ? lpszCaption : AfxGetAppName(),
                         nType);
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CWnd::DoDataExchange(CDataExchange*) {}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) {
    return OnCmdMsg(WM_COMMAND, HIWORD(wParam), LOWORD(wParam));
}
