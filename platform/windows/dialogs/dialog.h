// A dialog window: frame, caption bar (with the OK button when the extended
// style asks for it), the dialog procedure, and the end state of its modal run.
#pragma once

#include "platform/windows/core/window.h"

#include <functional>

namespace windows {

inline constexpr UINT WM_GETICON = 0x007F;

class Dialog : public Window {
public:
    static constexpr WindowKind kKind = WindowKind::Dialog;
    Dialog() : Window(WindowKind::Dialog) {}

    DLGPROC proc = nullptr;
    // Used instead of proc by the window system's own dialogs (message boxes).
    std::function<INT_PTR(HWND, UINT, WPARAM, LPARAM)> builtinProc;
    HWND owner = nullptr;

    bool ended = false;
    INT_PTR result = 0;
    // Kept centred on the screen (also after a resize) until moved elsewhere.
    bool centred = true;
    bool fullScreen = false;
    // The template size in cells, kept for leaving full-screen mode.
    int templateWidth = 0;
    int templateHeight = 0;
    // Set when the procedure took the last WM_DISPLAYCHANGE (the open-file
    // dialog does): it lays itself out for each new screen size, so it fits
    // any screen and asks for no size of its own.
    bool fitToScreen = false;
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;

    bool hasCaptionOk() const { return (exStyle & WS_EX_CAPTIONOKBTN) != 0; }
    // The caption's OK button, relative to the dialog.
    CellRect captionOkRect() const;
    // Puts the dialog where it belongs on a screen of the given size.
    void place(int screenWidth, int screenHeight);

    CellRect clientRect() const override { return CellRect{1, 1, rect.w - 2, rect.h - 2}; }
    LRESULT message(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void paint(Painter& painter, bool focused) const override;

private:
    // The screen size the dialog last saw; a new one is a display change.
    int screenWidth_ = -1;
    int screenHeight_ = -1;
};

} // namespace windows
