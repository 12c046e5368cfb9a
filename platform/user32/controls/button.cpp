#include "platform/user32/controls/button.h"

#include "platform/screen/box_chars.h"
#include "platform/user32/controls/static_control.h"
#include "platform/user32/core/key_table.h"
#include "platform/user32/core/label.h"

namespace user32 {
namespace {

screen::Role ButtonRole(const Window& w, bool focused) {
    if (!w.enabled()) {
        return screen::Role::Disabled;
    }
    return focused ? screen::Role::ButtonFocused : screen::Role::Button;
}

bool IsPress(const screen::MouseEvent& ev) {
    return ev.kind == screen::MouseEvent::Kind::Press ||
           ev.kind == screen::MouseEvent::Kind::DoubleClick;
}

} // namespace

void PushButton::click() {
    if (reachable()) {
        notifyParent(BN_CLICKED);
    }
}

LRESULT PushButton::message(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_GETDLGCODE:
        return DLGC_BUTTON | (isDefault() ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    case BM_CLICK:
        click();
        return 0;
    case BM_SETSTYLE:
        setStyle((style() & ~BS_TYPEMASK) | (static_cast<DWORD>(wParam) & BS_TYPEMASK));
        return 0;
    default:
        return Window::message(msg, wParam, lParam);
    }
}

bool PushButton::key(const screen::KeyEvent& ev) {
    if (LookupKey(KeyContext::Button, ev) == Action::Press) {
        click();
        return true;
    }
    return false;
}

void PushButton::mouse(const screen::MouseEvent& ev, int, int) {
    if (IsPress(ev)) {
        click();
    }
}

void PushButton::paint(Painter& painter, bool focused) const {
    using namespace screen::glyph;
    const screen::Role role = ButtonRole(*this, focused);
    // Without colours the focused button still stands out in reverse video.
    const std::uint8_t attrs = focused ? screen::AttrReverse : 0;
    painter.fill(CellRect{0, 0, rect().w, rect().h}, U' ', role, attrs);
    const int len = static_cast<int>(ParseLabel(text_).text.size());
    // The widest decoration that fits: the default button wears » «.
    struct Form {
        std::u32string left, right;
    };
    const Form forms[] = {
        isDefault() ? Form{U"[\u00BB ", U" \u00AB]"} : Form{U"[ ", U" ]"},
        isDefault() ? Form{U"[\u00BB", U"\u00AB]"} : Form{U"[", U"]"},
        isDefault() ? Form{U"\u00BB", U"\u00AB"} : Form{U"", U""},
        Form{U"", U""},
    };
    Form chosen = forms[3];
    for (const Form& f : forms) {
        if (static_cast<int>(f.left.size() + f.right.size()) + len <= rect().w) {
            chosen = f;
            break;
        }
    }
    const int total = static_cast<int>(chosen.left.size() + chosen.right.size()) + len;
    const int x0 = std::max(0, (rect().w - total) / 2);
    const int y = (rect().h - 1) / 2;
    int x = x0 + painter.text(x0, y, chosen.left, role, attrs);
    const int labelX = x;
    x += PaintLabel(painter, x, y, rect().w - x - static_cast<int>(chosen.right.size()), text_,
                    role, attrs);
    painter.text(x, y, chosen.right, role, attrs);
    if (focused) {
        painter.cursor(labelX, y);
    }
}

void CheckBox::click() {
    if (!reachable()) {
        return;
    }
    if (automatic()) {
        checked = static_cast<int>(checked == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
    }
    notifyParent(BN_CLICKED);
}

LRESULT CheckBox::message(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case BM_GETCHECK:
        return checked;
    case BM_SETCHECK:
        checked = static_cast<int>(wParam == BST_CHECKED ? BST_CHECKED : BST_UNCHECKED);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_BUTTON;
    case BM_CLICK:
        click();
        return 0;
    default:
        return Window::message(msg, wParam, lParam);
    }
}

bool CheckBox::key(const screen::KeyEvent& ev) {
    if (LookupKey(KeyContext::Button, ev) == Action::Press) {
        click();
        return true;
    }
    return false;
}

void CheckBox::mouse(const screen::MouseEvent& ev, int, int) {
    if (IsPress(ev)) {
        click();
    }
}

void CheckBox::paint(Painter& painter, bool focused) const {
    const screen::Role role = enabled() ? screen::Role::Window : screen::Role::Disabled;
    const screen::Role boxRole = ButtonRole(*this, focused);
    const std::uint8_t attrs = focused ? screen::AttrReverse : 0;
    painter.fill(CellRect{0, 0, rect().w, rect().h}, U' ', role);
    const int y = (rect().h - 1) / 2;
    painter.text(0, y, checked == BST_CHECKED ? U"[x]" : U"[ ]", boxRole, attrs);
    PaintLabel(painter, 4, y, rect().w - 4, text_, focused ? boxRole : role, attrs);
    if (focused) {
        painter.cursor(1, y);
    }
}

} // namespace user32
