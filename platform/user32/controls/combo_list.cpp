#include "platform/user32/controls/combo_list.h"

#include "platform/user32/controls/combo_box.h"
#include "platform/user32/core/system.h"

namespace user32 {

ComboBox* ComboList::combo() const {
    return As<ComboBox>(System::get().find(owner()));
}

LRESULT ComboList::message(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CANCELMODE) {
        if (ComboBox* c = combo()) {
            c->close();
        }
        return 0;
    }
    return Window::message(msg, wParam, lParam);
}

void ComboList::paint(Painter& painter, bool) const {
    if (const ComboBox* c = combo()) {
        c->paintList(painter);
    }
}

void ComboList::screenResized(int, int) {
    if (ComboBox* c = combo()) {
        c->placeList();
    }
}

bool ComboList::captureMouse(const screen::MouseEvent& ev, int x, int y) {
    ComboBox* c = combo();
    if (c == nullptr) {
        return false;
    }
    if (screenRect().contains(x, y)) {
        c->listMouse(ev, x, y);
        return true;
    }
    using Kind = screen::MouseEvent::Kind;
    if (ev.kind != Kind::Press && ev.kind != Kind::DoubleClick) {
        return true; // nothing outside reacts while the list is open
    }
    // A press elsewhere closes the list and then counts where it landed,
    // except on the arrow that opened the list: that press only closes it.
    const CellRect field = c->screenRect();
    c->close();
    return field.contains(x, y) && x == field.right() - 1;
}

} // namespace user32
