// Push buttons (plain and default) and check boxes. A click, by Space, by the
// mouse or by the dialog manager, sends BN_CLICKED to the parent; an
// automatic check box toggles itself first. Disabled buttons take nothing.
#pragma once

#include "platform/user32/core/window.h"

namespace user32 {

class PushButton : public Window {
public:
    static constexpr WindowKind kKind{"PushButton"};
    PushButton() : Window(kKind) {}
    bool isDefault() const { return (style() & BS_TYPEMASK) == BS_DEFPUSHBUTTON; }
    bool focusable() const override { return true; }
    void click();
    LRESULT message(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool key(const screen::KeyEvent& ev) override;
    void mouse(const screen::MouseEvent& ev, int x, int y) override;
    void paint(Painter& painter, bool focused) const override;
};

class CheckBox : public Window {
public:
    static constexpr WindowKind kKind{"CheckBox"};
    CheckBox() : Window(kKind) {}
    bool automatic() const { return (style() & BS_TYPEMASK) == BS_AUTOCHECKBOX; }
    bool focusable() const override { return true; }
    int checked = BST_UNCHECKED;
    void click();
    LRESULT message(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool key(const screen::KeyEvent& ev) override;
    void mouse(const screen::MouseEvent& ev, int x, int y) override;
    void paint(Painter& painter, bool focused) const override;
};

} // namespace user32
