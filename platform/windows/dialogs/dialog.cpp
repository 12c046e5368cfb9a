#include "platform/windows/dialogs/dialog.h"

#include "platform/screen/box_chars.h"
#include "platform/text/unicode.h"

#include <algorithm>

namespace windows {

CellRect Dialog::captionOkRect() const {
    return CellRect{rect.w - 6, 0, 4, 1};
}

void Dialog::place(int screenWidth, int screenHeight) {
    // As Win32 tells its top-level windows of a new display size; the size
    // a dialog is created on is no change.
    const bool changed = screenWidth_ >= 0 &&
                         (screenWidth != screenWidth_ || screenHeight != screenHeight_);
    screenWidth_ = screenWidth;
    screenHeight_ = screenHeight;
    if (changed) {
        fitToScreen = message(WM_DISPLAYCHANGE, 0,
                              MAKELPARAM(static_cast<WORD>(screenWidth),
                                         static_cast<WORD>(screenHeight))) != FALSE;
    }
    if (fullScreen) {
        rect = CellRect{0, 0, screenWidth, screenHeight};
        return;
    }
    rect.w = templateWidth;
    rect.h = templateHeight;
    if (centred) {
        rect.x = std::max(0, (screenWidth - rect.w) / 2);
        rect.y = std::max(0, (screenHeight - rect.h) / 2);
    }
}

LRESULT Dialog::message(UINT msg, WPARAM wParam, LPARAM lParam) {
    INT_PTR handled = FALSE;
    if (builtinProc) {
        handled = builtinProc(hwnd, msg, wParam, lParam);
    } else if (proc != nullptr) {
        handled = proc(hwnd, msg, wParam, lParam);
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
    default:
        return Window::message(msg, wParam, lParam);
    }
}

void Dialog::paint(Painter& painter, bool) const {
    using screen::Role;
    painter.fill(CellRect{0, 0, rect.w, rect.h}, U' ', Role::Window);
    painter.frame(CellRect{0, 0, rect.w, rect.h}, Role::Window);
    // The caption bar is the top row of the frame.
    for (int x = 1; x < rect.w - 1; ++x) {
        painter.put(x, 0, screen::glyph::Horizontal, Role::Caption);
    }
    painter.put(0, 0, screen::glyph::TopLeft, Role::Caption);
    painter.put(rect.w - 1, 0, screen::glyph::TopRight, Role::Caption);
    const int titleRoom = rect.w - (hasCaptionOk() ? 10 : 4);
    if ((style & WS_CAPTION) == WS_CAPTION && titleRoom > 0 && !text_.empty()) {
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

} // namespace windows
