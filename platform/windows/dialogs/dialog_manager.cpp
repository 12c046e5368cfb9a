// Dialogs from templates and their modal run. A dialog is created from the
// template's plain values (read and checked beforehand), runs a nested loop
// that takes events from the front end and presents the grid after each, and
// ends when EndDialog is called or the user quits the program.
#include "platform/windows/dialogs/dialog_manager.h"

#include "platform/windows/controls/button.h"
#include "platform/windows/controls/combo_box.h"
#include "platform/windows/controls/edit.h"
#include "platform/windows/core/layout.h"
#include "platform/windows/controls/list_box.h"
#include "platform/windows/resources/module_resources.h"
#include "platform/windows/controls/static_control.h"
#include "platform/windows/core/system.h"
#include "platform/windows/core/window_system.h"

#include <memory>
#include <new>

namespace windows {
namespace {

bool ClassIs(const NameOrOrdinal& cls, WORD ordinal, std::u16string_view name) {
    if (cls.isOrdinal) {
        return cls.ordinal == ordinal;
    }
    if (cls.name.size() != name.size()) {
        return false;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        char16_t c = cls.name[i];
        if (c >= u'a' && c <= u'z') {
            c = static_cast<char16_t>(c - u'a' + u'A');
        }
        if (c != name[i]) {
            return false;
        }
    }
    return true;
}

std::unique_ptr<Window> MakeControl(const DialogItemTemplate& item) {
    const NameOrOrdinal& cls = item.windowClass;
    if (ClassIs(cls, kClassButton, u"BUTTON")) {
        switch (item.style & BS_TYPEMASK) {
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
            return std::make_unique<PushButton>();
        case BS_GROUPBOX:
            return std::make_unique<GroupBox>();
        default:
            return std::make_unique<CheckBox>();
        }
    }
    if (ClassIs(cls, kClassEdit, u"EDIT")) {
        return std::make_unique<Edit>();
    }
    if (ClassIs(cls, kClassStatic, u"STATIC")) {
        return std::make_unique<StaticControl>();
    }
    if (ClassIs(cls, kClassComboBox, u"COMBOBOX")) {
        return std::make_unique<ComboBox>();
    }
    if (ClassIs(cls, kClassListBox, u"LISTBOX")) {
        return std::make_unique<ListBox>();
    }
    return nullptr;
}

} // namespace

Dialog* CreateDialogWindow(const DialogTemplate& tpl, HWND owner) {
    std::vector<std::unique_ptr<Window>> controls;
    for (const DialogItemTemplate& item : tpl.items) {
        auto control = MakeControl(item);
        if (!control) {
            return nullptr;
        }
        controls.push_back(std::move(control));
    }
    System& sys = System::get();
    auto dialog = std::make_unique<Dialog>();
    Dialog* d = dialog.get();
    d->style = tpl.style;
    d->exStyle = tpl.exStyle;
    d->owner = sys.find(owner) != nullptr ? owner : nullptr;
    d->setText(tpl.title);
    const CellRect client = DialogClientCells(tpl.cx, tpl.cy);
    d->templateWidth = client.w + 2;
    d->templateHeight = client.h + 2;
    d->place(sys.screenWidth(), sys.screenHeight());
    sys.adopt(std::move(dialog), sys.desktop());

    for (std::size_t i = 0; i < tpl.items.size(); ++i) {
        const DialogItemTemplate& item = tpl.items[i];
        Window* c = sys.adopt(std::move(controls[i]), d);
        c->style = item.style;
        c->exStyle = item.exStyle;
        c->id = static_cast<int>(item.id);
        c->rect = LayoutControl(item);
        if (!item.text.isOrdinal) {
            c->setText(item.text.name);
        }
        if (auto* combo = As<ComboBox>(c)) {
            combo->listRows = ComboListRows(item.cy);
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
        DispatchInput(ev);
    } catch (const std::bad_alloc&) {
        try {
            Dialog* top = System::get().modalStack().empty() ? nullptr
                                                             : System::get().modalStack().back();
            MessageBoxW(top != nullptr ? top->hwnd : nullptr,
                        u"Not enough memory to finish that. Nothing else was lost.", u"Error",
                        MB_OK | MB_ICONERROR);
        } catch (const std::bad_alloc&) {
            // Not even the message fits: the program goes on without it.
        }
    }
}

} // namespace

INT_PTR RunModal(Dialog* dialog, LPARAM initParam) {
    System& sys = System::get();
    const HWND dialogHandle = dialog->hwnd;
    const HWND previousFocus = sys.focus() != nullptr ? sys.focus()->hwnd : nullptr;
    sys.modalStack().push_back(dialog);
    if (sys.droppedCombo != nullptr) {
        sys.droppedCombo->close();
    }
    sys.setFocus(nullptr);

    // WM_INITDIALOG answers TRUE to have the focus put on the first tab stop.
    Window* first = NextTabStop(dialog, nullptr, 1);
    const LRESULT setDefaultFocus = dialog->message(
        WM_INITDIALOG, reinterpret_cast<WPARAM>(first ? first->hwnd : nullptr), initParam);
    if (setDefaultFocus != FALSE && sys.find(dialogHandle) == dialog) {
        first = NextTabStop(dialog, nullptr, 1); // the procedure may have changed the controls
        if (first != nullptr) {
            sys.setFocus(first);
            first->selectAllOnTab();
        }
    }

    while (!dialog->ended && !sys.quitting) {
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
        sys.quitting = false; // every loop has unwound
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
    DispatchInput(ev);
}

} // namespace windows

INT_PTR DialogBoxParamW(HINSTANCE hInstance, LPCWSTR lpTemplateName, HWND hWndParent,
                        DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    if (lpTemplateName == nullptr || !IS_INTRESOURCE(lpTemplateName)) {
        return -1;
    }
    const auto id = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(lpTemplateName));
    const auto bytes = windows::ResourceBytes(hInstance, RT_DIALOG, id);
    if (!bytes) {
        return -1;
    }
    const auto tpl = windows::ReadDialogTemplate(*bytes);
    if (!tpl) {
        return -1;
    }
    return windows::DialogBoxFromTemplate(tpl.value(), hWndParent, lpDialogFunc, dwInitParam);
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
    const auto tpl = windows::ReadDialogTemplate(std::span(bytes, kLargestTemplate));
    if (!tpl) {
        return -1;
    }
    return windows::DialogBoxFromTemplate(tpl.value(), hWndParent, lpDialogFunc, dwInitParam);
}

BOOL EndDialog(HWND hDlg, INT_PTR nResult) {
    auto* d = windows::As<windows::Dialog>(windows::System::get().find(hDlg));
    if (d == nullptr) {
        return FALSE;
    }
    d->ended = true;
    d->result = nResult;
    return TRUE;
}
