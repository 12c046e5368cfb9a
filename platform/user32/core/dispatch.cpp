#include "platform/user32/core/dispatch.h"

#include "platform/user32/core/system.h"

#include <variant>

namespace user32 {
namespace {

bool Inside(const Window* w, const Window* ancestor) {
    for (; w != nullptr; w = w->parent()) {
        if (w == ancestor) {
            return true;
        }
    }
    return false;
}

void DispatchMouse(Window* top, const screen::MouseEvent& ev) {
    System& sys = System::get();
    if (!sys.popups().empty() && sys.popups().back()->captureMouse(ev, ev.x, ev.y)) {
        return;
    }
    const CellRect tr = top->screenRect();
    if (!tr.contains(ev.x, ev.y)) {
        return; // a modal window keeps the mouse to itself
    }
    using Kind = screen::MouseEvent::Kind;
    const bool press = ev.kind == Kind::Press || ev.kind == Kind::DoubleClick;
    for (Window* c : top->children()) {
        if (!c->visible() || c->message(WM_NCHITTEST, 0, 0) == HTTRANSPARENT) {
            continue;
        }
        const CellRect cr = c->screenRect();
        if (!cr.contains(ev.x, ev.y)) {
            continue;
        }
        if (!c->reachable()) {
            return; // disabled controls ignore the mouse
        }
        if (press && c->focusable() && sys.focus() != c) {
            sys.setFocus(c);
        }
        c->mouse(ev, ev.x - cr.x, ev.y - cr.y);
        return;
    }
    top->mouse(ev, ev.x - tr.x, ev.y - tr.y);
}

} // namespace

void DispatchInput(const screen::InputEvent& ev) {
    System& sys = System::get();
    if (std::holds_alternative<screen::QuitEvent>(ev)) {
        sys.setQuitting(true);
        return;
    }
    if (std::holds_alternative<screen::ResizeEvent>(ev)) {
        for (Window* d : sys.modalStack()) {
            d->screenResized(sys.screenWidth(), sys.screenHeight());
        }
        sys.cancelPopups();
        return;
    }
    if (sys.modalStack().empty()) {
        return;
    }
    Window* top = sys.modalStack().back();
    sys.setHint({}); // a hint lasts until the user does something else
    Window* focus = sys.focus();
    if (!Inside(focus, top)) {
        focus = nullptr;
    }
    if (const auto* text = std::get_if<screen::TextEvent>(&ev)) {
        sys.setDroppingPaste(sys.droppingPaste() && text->continues);
        if (sys.droppingPaste()) {
            return;
        }
        // Pasted text goes to the focused control and nowhere else.
        if (focus != nullptr) {
            focus->typeText(text->text);
        }
    } else if (const auto* key = std::get_if<screen::KeyEvent>(&ev)) {
        if (focus != nullptr) {
            focus->key(*key);
        }
    } else if (const auto* mouse = std::get_if<screen::MouseEvent>(&ev)) {
        DispatchMouse(top, *mouse);
    }
}

} // namespace user32
