// Input for the innermost modal dialog: keys go first to a focused control
// that claims them, then to the dialog's own keys (Tab, Enter, Esc, Alt+O and
// mnemonics), then to the focused control; the mouse goes to what is under it.
#include "platform/text/fold_case.h"
#include "platform/text/unicode.h"
#include "platform/windows/controls/button.h"
#include "platform/windows/controls/combo_box.h"
#include "platform/windows/dialogs/dialog_manager.h"
#include "platform/windows/core/key_table.h"
#include "platform/windows/core/label.h"
#include "platform/windows/core/system.h"

#include <variant>

namespace windows {
namespace {

bool Inside(const Window* w, const Window* ancestor) {
    for (; w != nullptr; w = w->parent) {
        if (w == ancestor) {
            return true;
        }
    }
    return false;
}

bool TakesTab(const Window* w) {
    return (w->style & WS_TABSTOP) != 0 && w->focusable() && w->reachable();
}

void SendCommand(Dialog* d, int id, Window* from) {
    SendMessageW(d->hwnd, WM_COMMAND, MAKELONG(static_cast<WORD>(id), BN_CLICKED),
                 reinterpret_cast<LPARAM>(from != nullptr ? from->hwnd : nullptr));
}

Window* ChildWithId(Dialog* d, int id) {
    for (Window* c : d->children) {
        if (c->id == id) {
            return c;
        }
    }
    return nullptr;
}

void FocusByTab(Window* w) {
    if (w != nullptr) {
        System::get().setFocus(w);
        w->selectAllOnTab();
    }
}

void Press(Window* w) {
    if (auto* b = As<PushButton>(w)) {
        b->click();
    } else if (auto* c = As<CheckBox>(w)) {
        c->click();
    }
}

// Alt+character: the control whose label marks that character. A static
// text or group box passes the focus on to the next control that takes it.
bool Mnemonic(Dialog* d, char32_t ch) {
    const char32_t want = text::FoldCase(ch);
    for (Window* c : d->children) {
        // Only labels carry mnemonics: a text box's text is never copied for a key.
        const WindowKind k = c->kind();
        const bool labelled = k == WindowKind::PushButton || k == WindowKind::CheckBox ||
                              k == WindowKind::Static || k == WindowKind::GroupBox;
        if (!labelled || !c->visible() || ParseLabel(c->text()).mnemonic != want) {
            continue;
        }
        if (k == WindowKind::PushButton || k == WindowKind::CheckBox) {
            if (c->reachable()) {
                System::get().setFocus(c);
                Press(c);
            }
            return true;
        }
        if (k == WindowKind::Static || k == WindowKind::GroupBox) {
            FocusByTab(NextTabStop(d, c, 1));
            return true;
        }
    }
    return false;
}

// Ctrl+C copies in a dialog box and never ends a program; with nothing to
// copy, the user is most likely looking for the way out.
std::u16string HowToQuit(Dialog* d) {
    System& sys = System::get();
    const bool outermost = !sys.modalStack().empty() && sys.modalStack().front() == d;
    std::u16string how = u"Nothing to copy \u00B7 Esc";
    if (Window* cancel = ChildWithId(d, IDCANCEL); cancel != nullptr && cancel->visible()) {
        how += u" or " + text::Utf32ToUtf16(ParseLabel(cancel->text()).text);
    }
    return how + (outermost ? u" ends the program" : u" closes this window");
}

void DispatchKey(Dialog* d, const screen::KeyEvent& ev) {
    System& sys = System::get();
    Window* focus = sys.focus();
    if (!Inside(focus, d)) {
        focus = nullptr;
    }
    if (focus != nullptr && focus->claimsKey(ev)) {
        focus->key(ev);
        return;
    }
    if (ev.alt && ev.key == screen::Key::Char && Mnemonic(d, ev.ch)) {
        return;
    }
    switch (LookupKey(KeyContext::Dialog, ev)) {
    case Action::NextControl:
        FocusByTab(NextTabStop(d, focus, 1));
        return;
    case Action::PreviousControl:
        FocusByTab(NextTabStop(d, focus, -1));
        return;
    case Action::PressDefault: {
        if (auto* b = As<PushButton>(focus)) {
            b->click();
            return;
        }
        for (Window* c : d->children) {
            auto* b = As<PushButton>(c);
            if (b != nullptr && b->isDefault()) {
                b->click(); // a disabled default button ignores Enter
                return;
            }
        }
        SendCommand(d, IDOK, nullptr);
        return;
    }
    case Action::Cancel: {
        Window* cancel = ChildWithId(d, IDCANCEL);
        if (cancel != nullptr && !cancel->reachable()) {
            return; // a disabled cancel button also ignores Esc
        }
        SendCommand(d, IDCANCEL, cancel);
        return;
    }
    case Action::HowToQuit:
        sys.hint = HowToQuit(d);
        return;
    case Action::CaptionOk:
        if (d->hasCaptionOk()) {
            SendCommand(d, IDOK, nullptr);
            return;
        }
        break;
    default:
        break;
    }
    if (focus != nullptr) {
        focus->key(ev);
    }
}

void DispatchMouse(Dialog* d, const screen::MouseEvent& ev) {
    System& sys = System::get();
    using Kind = screen::MouseEvent::Kind;
    const bool press = ev.kind == Kind::Press || ev.kind == Kind::DoubleClick;
    if (ComboBox* combo = sys.droppedCombo) {
        if (combo->listRect().contains(ev.x, ev.y)) {
            combo->listMouse(ev, ev.x, ev.y);
            return;
        }
        if (!press) {
            return;
        }
        const CellRect sr = combo->screenRect();
        combo->close();
        if (sr.contains(ev.x, ev.y) && ev.x == sr.right() - 1) {
            return; // the arrow that opened the list closes it
        }
    }
    const CellRect dr = d->screenRect();
    if (!dr.contains(ev.x, ev.y)) {
        return; // a modal window keeps the mouse to itself
    }
    if (d->hasCaptionOk()) {
        CellRect ok = d->captionOkRect();
        ok.x += dr.x;
        ok.y += dr.y;
        if (ok.contains(ev.x, ev.y)) {
            if (press) {
                SendCommand(d, IDOK, nullptr);
            }
            return;
        }
    }
    for (Window* c : d->children) {
        const WindowKind k = c->kind();
        if (!c->visible() || k == WindowKind::Static || k == WindowKind::GroupBox) {
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
}

} // namespace

Window* NextTabStop(Dialog* d, Window* from, int dir) {
    const auto& kids = d->children;
    const int n = static_cast<int>(kids.size());
    if (n == 0) {
        return nullptr;
    }
    int start = dir > 0 ? -1 : n;
    for (int i = 0; i < n; ++i) {
        if (kids[static_cast<std::size_t>(i)] == from) {
            start = i;
            break;
        }
    }
    for (int k = 1; k <= n; ++k) {
        const int i = ((start + dir * k) % n + n) % n;
        Window* c = kids[static_cast<std::size_t>(i)];
        if (TakesTab(c)) {
            return c;
        }
    }
    return nullptr;
}

void DispatchInput(const screen::InputEvent& ev) {
    System& sys = System::get();
    if (std::holds_alternative<screen::QuitEvent>(ev)) {
        sys.quitting = true;
        return;
    }
    if (std::holds_alternative<screen::ResizeEvent>(ev)) {
        for (Dialog* d : sys.modalStack()) {
            d->place(sys.screenWidth(), sys.screenHeight());
        }
        if (sys.droppedCombo != nullptr) {
            sys.droppedCombo->close();
        }
        return;
    }
    if (sys.modalStack().empty()) {
        return;
    }
    Dialog* d = sys.modalStack().back();
    sys.hint.clear(); // a hint lasts until the user does something else
    if (const auto* text = std::get_if<screen::TextEvent>(&ev)) {
        sys.droppingPaste = sys.droppingPaste && text->continues;
        if (sys.droppingPaste) {
            return;
        }
        // Pasted text goes to the focused control and nowhere else.
        if (Window* focus = sys.focus(); focus != nullptr && Inside(focus, d)) {
            focus->typeText(text->text);
        }
    } else if (const auto* key = std::get_if<screen::KeyEvent>(&ev)) {
        DispatchKey(d, *key);
    } else if (const auto* mouse = std::get_if<screen::MouseEvent>(&ev)) {
        DispatchMouse(d, *mouse);
    }
}

} // namespace windows
