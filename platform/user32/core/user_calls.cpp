// The window calls of user.h over the window system. Every handle is looked
// up in the handle table first; a stale or foreign handle fails the call.
#include "platform/user32/core/system.h"
#include "platform/win32/user.h"

#include <algorithm>

using user32::System;
using user32::Window;

namespace {

Window* Find(HWND hWnd) {
    return System::get().find(hWnd);
}

HWND Handle(const Window* w) {
    return w != nullptr ? w->hwnd() : nullptr;
}

// Disabling the focused control leaves the dialog with no focus, as on
// Win32: keys then go to the dialog itself, so Enter still reaches the default
// button and no other control is chosen for the user. The control gets the
// focus back when it is enabled again, unless the user has chosen another
// control of that dialog meanwhile.
void ReleaseFocusIfDisabled(Window* w) {
    System& sys = System::get();
    Window* focus = sys.focus();
    if (focus == nullptr || w->reachable()) {
        return;
    }
    for (Window* f = focus; f != nullptr; f = f->parent()) {
        if (f == w) {
            sys.setFocus(nullptr);
            sys.setFocusToRestore(focus->hwnd());
            return;
        }
    }
}

void RestoreFocusIfReenabled(Window* w) {
    System& sys = System::get();
    Window* keeper = sys.find(sys.focusToRestore());
    if (keeper == nullptr || sys.focus() != nullptr || !keeper->reachable()) {
        return;
    }
    for (Window* k = keeper; k != nullptr; k = k->parent()) {
        if (k == w) {
            sys.setFocus(keeper);
            return;
        }
    }
}

} // namespace

HWND GetDlgItem(HWND hDlg, int nIDDlgItem) {
    Window* d = Find(hDlg);
    if (d == nullptr) {
        return nullptr;
    }
    for (Window* c : d->children()) {
        if (c->id() == nIDDlgItem) {
            return c->hwnd();
        }
    }
    return nullptr;
}

int GetDlgCtrlID(HWND hWnd) {
    Window* w = Find(hWnd);
    // Only a child window has an id; a top-level window's place holds none.
    return w != nullptr && w->parent() != System::get().desktop() ? w->id() : 0;
}

LRESULT SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(hWnd);
    return w != nullptr ? w->message(Msg, wParam, lParam) : 0;
}

BOOL EnableWindow(HWND hWnd, BOOL bEnable) {
    Window* w = Find(hWnd);
    if (w == nullptr) {
        return FALSE;
    }
    const BOOL wasDisabled = w->enabled() ? FALSE : TRUE;
    w->setStyleBits(WS_DISABLED, bEnable == FALSE);
    w->enabledChanged();
    if (bEnable) {
        RestoreFocusIfReenabled(w);
    } else {
        ReleaseFocusIfDisabled(w);
    }
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND hWnd) {
    Window* w = Find(hWnd);
    return w != nullptr && w->enabled() ? TRUE : FALSE;
}

BOOL IsWindow(HWND hWnd) {
    return Find(hWnd) != nullptr ? TRUE : FALSE;
}

BOOL SetWindowTextW(HWND hWnd, LPCWSTR lpString) {
    if (Find(hWnd) == nullptr) {
        return FALSE;
    }
    return SendMessageW(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)) != 0 ? TRUE
                                                                                      : FALSE;
}

int GetWindowTextW(HWND hWnd, LPWSTR lpString, int nMaxCount) {
    if (lpString == nullptr || nMaxCount <= 0 || Find(hWnd) == nullptr) {
        return 0;
    }
    return static_cast<int>(SendMessageW(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount),
                                         reinterpret_cast<LPARAM>(lpString)));
}

int GetWindowTextLengthW(HWND hWnd) {
    return static_cast<int>(SendMessageW(hWnd, WM_GETTEXTLENGTH, 0, 0));
}

HWND GetParent(HWND hWnd) {
    Window* w = Find(hWnd);
    if (w == nullptr) {
        return nullptr;
    }
    if (w->parent() == System::get().desktop()) {
        return w->owner(); // a pop-up's parent is its owner
    }
    if (w->parent() == nullptr) {
        return nullptr;
    }
    return w->parent()->hwnd();
}

HWND GetDesktopWindow() {
    return System::get().desktop()->hwnd();
}

HWND SetFocus(HWND hWnd) {
    System& sys = System::get();
    const HWND previous = Handle(sys.focus());
    if (hWnd == nullptr) {
        sys.setFocus(nullptr);
        return previous;
    }
    Window* w = Find(hWnd);
    if (w == nullptr || !w->reachable()) {
        return nullptr;
    }
    sys.setFocus(w->focusTarget());
    return previous;
}

HWND GetFocus() {
    return Handle(System::get().focus());
}

BOOL GetWindowRect(HWND hWnd, LPRECT lpRect) {
    Window* w = Find(hWnd);
    if (w == nullptr || lpRect == nullptr) {
        return FALSE;
    }
    System& sys = System::get();
    const user32::CellRect r = w == sys.desktop()
                                   ? user32::CellRect{0, 0, sys.screenWidth(), sys.screenHeight()}
                                   : w->screenRect();
    *lpRect = RECT{r.x, r.y, r.right(), r.bottom()};
    return TRUE;
}

BOOL MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL) {
    Window* w = Find(hWnd);
    System& sys = System::get();
    if (w == nullptr || w == sys.desktop()) {
        return FALSE;
    }
    const int width = std::max(1, nWidth), height = std::max(1, nHeight);
    w->moveTo(user32::CellRect{X, Y, width, height});
    return TRUE;
}

LONG GetWindowLongW(HWND hWnd, int nIndex) {
    Window* w = Find(hWnd);
    if (w == nullptr) {
        return 0;
    }
    switch (nIndex) {
    case GWL_STYLE:
        return static_cast<LONG>(w->style());
    case GWL_EXSTYLE:
        return static_cast<LONG>(w->exStyle());
    case -12: // GWL_ID
        return w->id();
    default:
        return 0;
    }
}
