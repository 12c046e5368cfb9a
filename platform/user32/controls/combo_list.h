// The list a drop-down combo box opens: a pop-up window of its own (the
// "ComboLBox" class, as on Win32), owned by the combo box and above every
// dialog in the z-order. It shows the combo box's entries, holds the mouse
// while it is shown, and goes away when the window system cancels pop-ups.
#pragma once

#include "platform/user32/core/window.h"

namespace user32 {

class ComboBox;

class ComboList : public Window {
public:
    static constexpr WindowKind kKind{"ComboLBox"};
    ComboList() : Window(kKind) {}

    LRESULT message(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void paint(Painter& painter, bool focused) const override;
    bool captureMouse(const screen::MouseEvent& ev, int x, int y) override;
    // The combo box may have moved with its dialog.
    void screenResized(int width, int height) override;

private:
    ComboBox* combo() const;
};

} // namespace user32
