// Dialogs from templates and their modal run. A dialog is created from the
// template's plain values (read and checked beforehand), runs a nested loop
// that takes events from the front end and presents the grid after each, and
// ends when EndDialog is called or the user quits the program.
#include "platform/user32/dialogs/dialog_manager.h"

#include "platform/text/fold_case.h"
#include "platform/user32/controls/control_classes.h"
#include "platform/user32/core/dispatch.h"
#include "platform/user32/core/layout.h"
#include "platform/user32/core/system.h"
#include "platform/user32/core/window_class.h"
#include "platform/user32/core/window_system.h"
#include "platform/user32/dialogs/dialog_keys.h"
#include "platform/user32/dialogs/message_box_window.h"
#include "platform/user32/resources/module_resources.h"

#include <memory>
#include <new>
#include <variant>

namespace user32 {
namespace {

// A template names a builtin class by its ordinal or by its name.
std::u16string_view ClassName(const NameOrOrdinal& cls) {
    if (!cls.isOrdinal) {
        return cls.name;
    }
    switch (cls.ordinal) {
    case kClassButton:
        return u"Button";
    case kClassEdit:
        return u"Edit";
    case kClassStatic:
        return u"Static";
    case kClassListBox:
        return u"ListBox";
    case kClassScrollBar:
        return u"ScrollBar";
    case kClassComboBox:
        return u"ComboBox";
    default:
        return {};
    }
}

bool IsComboBoxClass(std::u16string_view name) {
    return text::CompareFolded(name, u"ComboBox") == 0;
}

// Loading user32 registers its classes; a message box shown before any
// dialog is a window too.
const bool kStarted = (StartWindowSystem(), true);

} // namespace

void StartWindowSystem() {
    static const bool started = (RegisterControlClasses(), InstallMessageBoxWindow(), true);
    (void)started;
}

Dialog* CreateDialogWindow(const DialogTemplate& tpl, HWND owner) {
    StartWindowSystem();
    std::vector<std::unique_ptr<Window>> controls;
    for (const DialogItemTemplate& item : tpl.items) {
        auto control = CreateWindowOfClass(ClassName(item.windowClass), item.style);
        if (!control) {
            return nullptr;
        }
        controls.push_back(std::move(control));
    }
    System& sys = System::get();
    auto dialog = std::make_unique<Dialog>();
    Dialog* d = dialog.get();
    d->setStyle(tpl.style);
    d->setExStyle(tpl.exStyle);
    d->setOwner(sys.find(owner) != nullptr ? owner : nullptr);
    d->setText(tpl.title);
    const CellRect client = DialogClientCells(tpl.cx, tpl.cy);
    d->templateWidth = client.w + 2;
    d->templateHeight = client.h + 2;
    d->place(sys.screenWidth(), sys.screenHeight());
    sys.adopt(std::move(dialog), sys.desktop());

    for (std::size_t i = 0; i < tpl.items.size(); ++i) {
        const DialogItemTemplate& item = tpl.items[i];
        Window* c = sys.adopt(std::move(controls[i]), d);
        c->setStyle(item.style);
        c->setExStyle(item.exStyle);
        c->setId(static_cast<int>(item.id));
        c->setRect(LayoutControl(item));
        if (!item.text.isOrdinal) {
            c->setText(item.text.name);
        }
        // A combo box's template height is the height of its dropped list.
        if (IsComboBoxClass(ClassName(item.windowClass))) {
            c->message(CB_SETMINVISIBLE, static_cast<WPARAM>(ComboListRows(item.cy)), 0);
        }
        c->moved();
    }
    return d;
}

namespace {

// The last line of defence of the modal loop. Handlers report their own
// failures; a handler that met no memory where nobody expected it is
// reported here, and the loop goes on: what ran out was memory, not the
// program's reasoning, and the program's handlers change their state only
// once what they need is at hand. Any other exception is a fault in the
// program and is let through, to end it with its reason on standard error
// (the terminal restored first), rather than be hidden.
void DispatchOrReport(const screen::InputEvent& ev) {
    try {
        PumpEvent(ev);
    } catch (const std::bad_alloc&) {
        try {
            Window* top =
                System::get().modalStack().empty() ? nullptr : System::get().modalStack().back();
            MessageBoxW(top != nullptr ? top->hwnd() : nullptr,
                        u"Not enough memory to finish that. Nothing else was lost.", u"Error",
                        MB_OK | MB_ICONERROR);
        } catch (const std::bad_alloc&) {
            // Not even the message fits: the program goes on without it.
        }
    }
}

} // namespace

void PumpEvent(const screen::InputEvent& ev) {
    System& sys = System::get();
    const auto* key = std::get_if<screen::KeyEvent>(&ev);
    if (key != nullptr && !sys.modalStack().empty()) {
        if (auto* d = As<Dialog>(sys.modalStack().back())) {
            sys.setHint({}); // a hint lasts until the user does something else
            if (DialogKey(d, *key)) {
                return;
            }
        }
    }
    DispatchInput(ev);
}

INT_PTR RunModal(Dialog* dialog, LPARAM initParam) {
    StartWindowSystem();
    System& sys = System::get();
    const HWND dialogHandle = dialog->hwnd();
    const HWND previousFocus = sys.focus() != nullptr ? sys.focus()->hwnd() : nullptr;
    sys.modalStack().push_back(dialog);
    sys.cancelPopups();
    sys.setFocus(nullptr);

    // WM_INITDIALOG answers TRUE to have the focus put on the first tab stop.
    Window* first = NextTabStop(dialog, nullptr, 1);
    const LRESULT setDefaultFocus = dialog->message(
        WM_INITDIALOG, reinterpret_cast<WPARAM>(first ? first->hwnd() : nullptr), initParam);
    if (setDefaultFocus != FALSE && sys.find(dialogHandle) == dialog) {
        first = NextTabStop(dialog, nullptr, 1); // the procedure may have changed the controls
        FocusControl(first);
    }

    while (!dialog->ended && !sys.quitting()) {
        sys.present();
        DispatchOrReport(sys.frontEnd().waitEvent());
    }
    const INT_PTR result = dialog->ended ? dialog->result : IDCANCEL;

    sys.modalStack().pop_back();
    sys.destroy(dialog);
    if (Window* w = sys.find(previousFocus)) {
        sys.setFocus(w);
    }
    if (sys.modalStack().empty()) {
        sys.setQuitting(false); // every loop has unwound
    }
    sys.present();
    return result;
}

INT_PTR DialogBoxFromTemplate(const DialogTemplate& tpl, HWND owner, DLGPROC proc, LPARAM param) {
    Dialog* d = CreateDialogWindow(tpl, owner);
    if (d == nullptr) {
        return -1;
    }
    d->proc = proc;
    return RunModal(d, param);
}

BOOL SetDialogFullScreen(HWND hDlg, bool fullScreen) {
    System& sys = System::get();
    auto* d = As<Dialog>(sys.find(hDlg));
    if (d == nullptr) {
        return FALSE;
    }
    d->fullScreen = fullScreen;
    d->place(sys.screenWidth(), sys.screenHeight());
    return TRUE;
}

const screen::Grid& RedrawScreen() {
    System& sys = System::get();
    sys.paintAll();
    return sys.grid();
}

void DispatchEvent(const screen::InputEvent& ev) {
    PumpEvent(ev);
}

} // namespace user32

INT_PTR DialogBoxParamW(HINSTANCE hInstance, LPCWSTR lpTemplateName, HWND hWndParent,
                        DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    if (lpTemplateName == nullptr || !IS_INTRESOURCE(lpTemplateName)) {
        return -1;
    }
    const auto id = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(lpTemplateName));
    const auto bytes = user32::ResourceBytes(hInstance, RT_DIALOG, id);
    if (!bytes) {
        return -1;
    }
    const auto tpl = user32::ReadDialogTemplate(*bytes);
    if (!tpl) {
        return -1;
    }
    return user32::DialogBoxFromTemplate(tpl.value(), hWndParent, lpDialogFunc, dwInitParam);
}

INT_PTR DialogBoxIndirectParamW(HINSTANCE, LPCDLGTEMPLATEW hDialogTemplate, HWND hWndParent,
                                DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    if (hDialogTemplate == nullptr) {
        return -1;
    }
    // Win32 passes no length: a template ends with its last item. The reader
    // stops there, so the bound (larger than any template a resource compiler
    // writes) only keeps a malformed one from being read without end.
    constexpr std::size_t kLargestTemplate = 0x10000;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(hDialogTemplate);
    const auto tpl = user32::ReadDialogTemplate(std::span(bytes, kLargestTemplate));
    if (!tpl) {
        return -1;
    }
    return user32::DialogBoxFromTemplate(tpl.value(), hWndParent, lpDialogFunc, dwInitParam);
}

BOOL EndDialog(HWND hDlg, INT_PTR nResult) {
    auto* d = user32::As<user32::Dialog>(user32::System::get().find(hDlg));
    if (d == nullptr) {
        return FALSE;
    }
    d->ended = true;
    d->result = nResult;
    return TRUE;
}
