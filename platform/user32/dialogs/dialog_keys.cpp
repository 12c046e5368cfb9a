#include "platform/user32/dialogs/dialog_keys.h"

#include "platform/text/fold_case.h"
#include "platform/text/unicode.h"
#include "platform/user32/core/key_table.h"
#include "platform/user32/core/label.h"
#include "platform/user32/core/system.h"
#include "platform/user32/dialogs/dialog.h"

namespace user32 {
namespace {

// What the control keeps for itself of this key (ev nullptr: of keys in
// general), and what kind of control it is to the dialog.
LRESULT DialogCode(Window* w, const screen::KeyEvent* ev) {
    return w != nullptr ? w->message(WM_GETDLGCODE, 0, reinterpret_cast<LPARAM>(ev)) : 0;
}

bool TakesTab(Window* w) {
    return (w->style() & WS_TABSTOP) != 0 && w->focusable() && w->reachable();
}

void SendCommand(Dialog* d, int id, const Window* from) {
    SendMessageW(d->hwnd(), WM_COMMAND, MAKELONG(static_cast<WORD>(id), BN_CLICKED),
                 reinterpret_cast<LPARAM>(from != nullptr ? from->hwnd() : nullptr));
}

// Alt+character: the control whose label marks that character. A static
// text or group box passes the focus on to the next control that takes it.
bool Mnemonic(Dialog* d, char32_t ch) {
    const char32_t want = text::FoldCase(ch);
    for (Window* c : d->children()) {
        // Only labels carry mnemonics: a text box's text is never copied for a key.
        const LRESULT code = DialogCode(c, nullptr);
        if ((code & (DLGC_BUTTON | DLGC_STATIC)) == 0 || !c->visible() ||
            ParseLabel(c->text()).mnemonic != want) {
            continue;
        }
        if ((code & DLGC_STATIC) != 0) {
            FocusControl(NextTabStop(d, c, 1));
        } else if (c->reachable()) {
            System::get().setFocus(c);
            SendMessageW(c->hwnd(), BM_CLICK, 0, 0);
        }
        return true;
    }
    return false;
}

// Ctrl+C copies in a dialog box and never ends a program; with nothing to
// copy, the user is most likely looking for the way out.
std::u16string HowToQuit(Dialog* d) {
    System& sys = System::get();
    const bool outermost = !sys.modalStack().empty() && sys.modalStack().front() == d;
    std::u16string how = u"Nothing to copy \u00B7 Esc";
    if (Window* cancel = DialogItem(d, IDCANCEL); cancel != nullptr && cancel->visible()) {
        how += u" or " + text::Utf32ToUtf16(ParseLabel(cancel->text()).text);
    }
    return how + (outermost ? u" ends the program" : u" closes this window");
}

void PressDefault(Dialog* d, Window* focus, LRESULT focusCode) {
    if ((focusCode & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0) {
        SendMessageW(focus->hwnd(), BM_CLICK, 0, 0);
        return;
    }
    const auto def = static_cast<ULONG_PTR>(SendMessageW(d->hwnd(), DM_GETDEFID, 0, 0));
    if (HIWORD(def) == DC_HASDEFID) {
        if (Window* button = DialogItem(d, LOWORD(def))) {
            SendMessageW(button->hwnd(), BM_CLICK, 0, 0); // a disabled default button ignores Enter
        } else {
            SendCommand(d, LOWORD(def), nullptr);
        }
        return;
    }
    SendCommand(d, IDOK, nullptr);
}

} // namespace

Window* DialogItem(Window* dialog, int id) {
    for (Window* c : dialog->children()) {
        if (c->id() == id) {
            return c;
        }
    }
    return nullptr;
}

Window* NextTabStop(Window* dialog, Window* from, int dir) {
    const auto& kids = dialog->children();
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

void FocusControl(Window* control) {
    if (control == nullptr) {
        return;
    }
    System::get().setFocus(control);
    if ((DialogCode(control, nullptr) & DLGC_HASSETSEL) != 0) {
        SendMessageW(control->hwnd(), EM_SETSEL, 0, -1);
    }
}

bool DialogKey(Dialog* d, const screen::KeyEvent& ev) {
    System& sys = System::get();
    Window* focus = sys.focus();
    if (focus != nullptr && focus->topLevel() != d) {
        focus = nullptr;
    }
    const LRESULT code = DialogCode(focus, &ev);
    if ((code & DLGC_WANTALLKEYS) != 0) {
        return false;
    }
    if (ev.alt && ev.key == screen::Key::Char && Mnemonic(d, ev.ch)) {
        return true;
    }
    switch (LookupKey(KeyContext::Dialog, ev)) {
    case Action::NextControl:
    case Action::PreviousControl:
        if ((code & DLGC_WANTTAB) != 0) {
            return false;
        }
        SendMessageW(d->hwnd(), WM_NEXTDLGCTL,
                     LookupKey(KeyContext::Dialog, ev) == Action::PreviousControl ? 1 : 0, FALSE);
        return true;
    case Action::PressDefault:
        PressDefault(d, focus, code);
        return true;
    case Action::Cancel: {
        Window* cancel = DialogItem(d, IDCANCEL);
        if (cancel == nullptr || cancel->reachable()) {
            SendCommand(d, IDCANCEL, cancel); // a disabled cancel button also ignores Esc
        }
        return true;
    }
    case Action::HowToQuit:
        sys.setHint(HowToQuit(d));
        return true;
    case Action::CaptionOk:
        if (d->hasCaptionOk()) {
            SendCommand(d, IDOK, nullptr);
            return true;
        }
        return false;
    default:
        return false;
    }
}

} // namespace user32
