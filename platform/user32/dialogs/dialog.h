// A dialog window: frame, caption bar (with the OK button when the extended
// style asks for it), the dialog procedure, the end state of its modal run,
// and DefDlgProc's share of the dialog keys (the default button, moving to
// the next control).
#pragma once

#include "platform/user32/core/window.h"

#include <functional>

namespace user32 {

inline constexpr UINT WM_GETICON = 0x007F;

class Dialog : public Window {
public:
    static constexpr WindowKind kKind{"Dialog"};
    Dialog() : Window(kKind) {}

    DLGPROC proc = nullptr;
    // Used instead of proc by the window system's own dialogs (message boxes).
    std::function<INT_PTR(HWND, UINT, WPARAM, LPARAM)> builtinProc;

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

    bool hasCaptionOk() const { return (exStyle() & WS_EX_CAPTIONOKBTN) != 0; }
    // The caption's OK button, relative to the dialog.
    CellRect captionOkRect() const;
    // Puts the dialog where it belongs on a screen of the given size.
    void place(int screenWidth, int screenHeight);

    CellRect clientRect() const override { return CellRect{1, 1, rect().w - 2, rect().h - 2}; }
    LRESULT message(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void paint(Painter& painter, bool focused) const override;
    void mouse(const screen::MouseEvent& ev, int x, int y) override;
    Window* focusTarget() override;
    void moved() override;
    void screenResized(int width, int height) override { place(width, height); }
    CellRect neededScreen() const override;

private:
    // The default push button's id as DM_SETDEFID set it (0: the button
    // whose style says so).
    int defId_ = 0;
    // The screen size the dialog last saw; a new one is a display change.
    int screenWidth_ = -1;
    int screenHeight_ = -1;
};

} // namespace user32
