#include "platform/user32/dialogs/dialog.h"

#include "platform/screen/box_chars.h"
#include "platform/text/unicode.h"
#include "platform/user32/core/system.h"
#include "platform/user32/dialogs/dialog_keys.h"

#include <algorithm>

namespace user32 {

CellRect Dialog::captionOkRect() const {
    return CellRect{rect().w - 6, 0, 4, 1};
}

void Dialog::place(int screenWidth, int screenHeight) {
    // As Win32 tells its top-level windows of a new display size; the size
    // a dialog is created on is no change.
    const bool changed =
        screenWidth_ >= 0 && (screenWidth != screenWidth_ || screenHeight != screenHeight_);
    screenWidth_ = screenWidth;
    screenHeight_ = screenHeight;
    if (changed) {
        fitToScreen = message(WM_DISPLAYCHANGE, 0,
                              MAKELPARAM(static_cast<WORD>(screenWidth),
                                         static_cast<WORD>(screenHeight))) != FALSE;
    }
    if (fullScreen) {
        setRect(CellRect{0, 0, screenWidth, screenHeight});
        return;
    }
    CellRect r = rect();
    r.w = templateWidth;
    r.h = templateHeight;
    if (centred) {
        r.x = std::max(0, (screenWidth - r.w) / 2);
        r.y = std::max(0, (screenHeight - r.h) / 2);
    }
    setRect(r);
}

void Dialog::moved() {
    // Centring (as the framework does through MoveWindow) keeps the dialog
    // centred after a resize, and a dialog laid over the whole screen stays
    // over it; any other place pins the dialog.
    System& sys = System::get();
    const int screenW = sys.screenWidth(), screenH = sys.screenHeight();
    fullScreen = rect() == CellRect{0, 0, screenW, screenH};
    centred = rect().x == std::max(0, (screenW - rect().w) / 2) &&
              rect().y == std::max(0, (screenH - rect().h) / 2);
    if (!fullScreen) {
        templateWidth = rect().w;
        templateHeight = rect().h;
    }
}

CellRect Dialog::neededScreen() const {
    // What the terminal needs is a fixed dialog's size (the form's); a
    // dialog sized to the screen fits any.
    if (fullScreen || fitToScreen) {
        return CellRect{};
    }
    return CellRect{0, 0, templateWidth, templateHeight};
}

Window* Dialog::focusTarget() {
    // A dialog hands the focus to its first control that takes it.
    Window* first = NextTabStop(this, nullptr, 1);
    return first != nullptr ? first : this;
}

void Dialog::mouse(const screen::MouseEvent& ev, int x, int y) {
    using Kind = screen::MouseEvent::Kind;
    const bool press = ev.kind == Kind::Press || ev.kind == Kind::DoubleClick;
    if (press && hasCaptionOk() && captionOkRect().contains(x, y)) {
        SendMessageW(hwnd(), WM_COMMAND, MAKELONG(static_cast<WORD>(IDOK), BN_CLICKED), 0);
    }
}

namespace {

// The button that Enter presses when no push button has the focus.
LRESULT DefaultId(Window* d, int defId) {
    if (defId != 0) {
        return MAKELONG(static_cast<WORD>(defId), DC_HASDEFID);
    }
    for (Window* c : d->children()) {
        if ((c->message(WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) != 0) {
            return MAKELONG(static_cast<WORD>(c->id()), DC_HASDEFID);
        }
    }
    return 0;
}

} // namespace

LRESULT Dialog::message(UINT msg, WPARAM wParam, LPARAM lParam) {
    INT_PTR handled = FALSE;
    if (builtinProc) {
        handled = builtinProc(hwnd(), msg, wParam, lParam);
    } else if (proc != nullptr) {
        handled = proc(hwnd(), msg, wParam, lParam);
    }
    if (msg == WM_INITDIALOG || handled != FALSE) {
        return handled;
    }
    switch (msg) {
    case WM_SETICON: {
        HICON& slot = wParam == ICON_BIG ? bigIcon : smallIcon;
        HICON previous = slot;
        slot = reinterpret_cast<HICON>(lParam);
        return reinterpret_cast<LRESULT>(previous);
    }
    case WM_GETICON:
        return reinterpret_cast<LRESULT>(wParam == ICON_BIG ? bigIcon : smallIcon);
    case DM_GETDEFID:
        return DefaultId(this, defId_);
    case DM_SETDEFID: {
        // The buttons wear the change: the old default becomes a plain push
        // button, the new one a default push button.
        const auto old = static_cast<ULONG_PTR>(DefaultId(this, defId_));
        Window* previous = HIWORD(old) == DC_HASDEFID ? DialogItem(this, LOWORD(old)) : nullptr;
        if (previous != nullptr) {
            previous->message(BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
        }
        defId_ = static_cast<int>(wParam);
        if (Window* b = DialogItem(this, defId_)) {
            b->message(BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
        }
        return TRUE;
    }
    case WM_NEXTDLGCTL: {
        Window* focus = System::get().focus();
        if (focus != nullptr && focus->parent() != this) {
            focus = nullptr;
        }
        Window* next = lParam != 0 ? System::get().find(reinterpret_cast<HWND>(wParam))
                                   : NextTabStop(this, focus, wParam != 0 ? -1 : 1);
        FocusControl(next);
        return 0;
    }
    default:
        return Window::message(msg, wParam, lParam);
    }
}

void Dialog::paint(Painter& painter, bool) const {
    using screen::Role;
    painter.fill(CellRect{0, 0, rect().w, rect().h}, U' ', Role::Window);
    painter.frame(CellRect{0, 0, rect().w, rect().h}, Role::Window);
    // The caption bar is the top row of the frame.
    for (int x = 1; x < rect().w - 1; ++x) {
        painter.put(x, 0, screen::glyph::Horizontal, Role::Caption);
    }
    painter.put(0, 0, screen::glyph::TopLeft, Role::Caption);
    painter.put(rect().w - 1, 0, screen::glyph::TopRight, Role::Caption);
    const int titleRoom = rect().w - (hasCaptionOk() ? 10 : 4);
    if ((style() & WS_CAPTION) == WS_CAPTION && titleRoom > 0 && !text_.empty()) {
        std::u32string title = text::Utf16ToUtf32(text_);
        if (static_cast<int>(title.size()) > titleRoom) {
            title.resize(static_cast<std::size_t>(titleRoom));
        }
        painter.text(1, 0, U" " + title + U" ", Role::Caption, screen::AttrBold);
    }
    if (hasCaptionOk()) {
        const CellRect ok = captionOkRect();
        painter.put(ok.x - 1, 0, U' ', Role::Caption);
        painter.text(ok.x, 0, U"[OK]", Role::Caption, screen::AttrBold);
        painter.put(ok.right(), 0, U' ', Role::Caption);
    }
}

} // namespace user32
