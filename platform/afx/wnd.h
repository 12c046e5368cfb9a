// CWnd: a C++ object attached to a window handle. Commands that reach the
// window are routed through the object's message map; data exchange binds
// controls to members.
#pragma once

#include "platform/afx/cstring.h"
#include "platform/afx/message_map.h"
#include "platform/win32/types.h"
#include "platform/win32/user.h"

class CDataExchange;

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    // Detaches; the window itself belongs to the window system.
    ~CWnd() override;

    HWND m_hWnd = nullptr;
    operator HWND() const { return m_hWnd; }

    // The object attached to hWnd; otherwise a temporary wrapper that lives
    // until the window is gone. nullptr for a null handle.
    static CWnd* FromHandle(HWND hWnd);
    // The object attached to hWnd, or nullptr.
    static CWnd* FromHandlePermanent(HWND hWnd);
    BOOL Attach(HWND hWndNew);
    HWND Detach();

    CWnd* GetDlgItem(int nID) const;
    void GetDlgItem(int nID, HWND* phWnd) const;
    int GetDlgCtrlID() const;
    CWnd* GetParent() const;

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    void GetWindowText(CString& rString) const;
    CWnd* SetFocus();

    // Sets the big (bBigIcon) or small icon through WM_SETICON; answers the
    // previous one.
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);
    // Centres the window on the desktop, or on pAlternateOwner.
    void CenterWindow(CWnd* pAlternateOwner = nullptr);

    // A modal message box owned by this window; without a caption, under the
    // application title.
    int MessageBox(LPCWSTR lpszText, LPCWSTR lpszCaption = nullptr, UINT nType = MB_OK);

    // Runs DoDataExchange: from the controls into the members (TRUE), or from
    // the members into the controls (FALSE).
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // A WM_COMMAND for this window: routed through the message map.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);

    DECLARE_MESSAGE_MAP()
};

// Wrappers whose windows have been destroyed let go of their handles, the way
// a window's last message detaches its object. Runs when a modal run ends.
void AfxDetachDestroyedWindows();
