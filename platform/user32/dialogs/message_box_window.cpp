#include "platform/user32/dialogs/message_box_window.h"

#include "platform/text/unicode.h"
#include "platform/user32/controls/button.h"
#include "platform/user32/controls/static_control.h"
#include "platform/user32/core/system.h"
#include "platform/user32/dialogs/dialog.h"
#include "platform/user32/dialogs/dialog_manager.h"
#include "platform/user32/dialogs/message_box_presenter.h"
#include "platform/win32/user.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace user32 {
namespace {

struct ButtonChoice {
    int id;
    const char16_t* label;
};

std::vector<ButtonChoice> ButtonsFor(UINT type) {
    switch (type & 0xF) {
    case MB_OKCANCEL:
        return {{IDOK, u"OK"}, {IDCANCEL, u"Cancel"}};
    case 3: // MB_YESNOCANCEL
        return {{IDYES, u"Yes"}, {IDNO, u"No"}, {IDCANCEL, u"Cancel"}};
    case MB_YESNO:
        return {{IDYES, u"Yes"}, {IDNO, u"No"}};
    default:
        return {{IDOK, u"OK"}};
    }
}

// What Esc (and a quit) answers: Cancel where there is one, OK for a box
// that has only OK, else nothing for Esc and No for a quit.
int CancelAnswer(const std::vector<ButtonChoice>& buttons) {
    for (const auto& b : buttons) {
        if (b.id == IDCANCEL) {
            return IDCANCEL;
        }
    }
    return buttons.size() == 1 ? IDOK : 0;
}

} // namespace

int ShowMessageBoxWindow(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    System& sys = System::get();
    const std::vector<ButtonChoice> buttons = ButtonsFor(type);
    const int cancelAnswer = CancelAnswer(buttons);
    const int screenW = sys.screenWidth(), screenH = sys.screenHeight();

    const std::u32string body = text::Utf16ToUtf32(text != nullptr ? text : u"");
    const std::u32string title = text::Utf16ToUtf32(caption != nullptr ? caption : u"Error");
    const int maxText = std::clamp(screenW - 8, 10, 60);
    std::vector<std::u32string> rows = WrapText(body, maxText);
    if (rows.empty()) {
        rows.emplace_back();
    }
    const int maxRows = std::max(1, screenH - 6);
    if (static_cast<int>(rows.size()) > maxRows) {
        rows.resize(static_cast<std::size_t>(maxRows));
    }
    int textWidth = 0;
    for (const auto& r : rows) {
        textWidth = std::max(textWidth, static_cast<int>(r.size()));
    }
    int buttonsWidth = 0;
    for (const auto& b : buttons) {
        buttonsWidth += static_cast<int>(std::u16string_view(b.label).size()) + 4 + 2;
    }
    buttonsWidth -= 2;
    const int inner = std::max({textWidth, buttonsWidth, static_cast<int>(title.size()) + 4});
    const int width = std::min(screenW, inner + 4);
    const int height = static_cast<int>(rows.size()) + 5;

    auto dialog = std::make_unique<Dialog>();
    Dialog* d = dialog.get();
    d->setStyle(WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_MODALFRAME);
    d->setText(text::Utf32ToUtf16(title));
    d->setOwner(sys.find(owner) != nullptr ? owner : nullptr);
    d->templateWidth = width;
    d->templateHeight = height;
    d->place(screenW, screenH);
    sys.adopt(std::move(dialog), sys.desktop());

    auto* label = static_cast<StaticControl*>(sys.adopt(std::make_unique<StaticControl>(), d));
    label->setStyle(WS_CHILD | WS_VISIBLE);
    label->setId(-1);
    label->setRect(CellRect{1, 1, width - 4, static_cast<int>(rows.size())});
    // The label shows the text as it is: no '&' mnemonics in a message.
    std::u16string escaped;
    for (char16_t c : text::Utf32ToUtf16(body)) {
        escaped += c;
        if (c == u'&') {
            escaped += u'&';
        }
    }
    label->setText(escaped);

    int x = std::max(0, (width - 2 - buttonsWidth) / 2);
    const int y = static_cast<int>(rows.size()) + 2;
    bool first = true;
    for (const auto& b : buttons) {
        auto* button = static_cast<PushButton*>(sys.adopt(std::make_unique<PushButton>(), d));
        const int w = static_cast<int>(std::u16string_view(b.label).size()) + 4;
        button->setStyle(WS_CHILD | WS_VISIBLE | WS_TABSTOP | (first ? BS_DEFPUSHBUTTON : 0));
        button->setId(b.id);
        button->setText(b.label);
        button->setRect(CellRect{x, y, w, 1});
        x += w + 2;
        first = false;
    }

    d->builtinProc = [cancelAnswer](HWND hDlg, UINT msg, WPARAM wParam, LPARAM) -> INT_PTR {
        if (msg == WM_INITDIALOG) {
            return TRUE;
        }
        if (msg != WM_COMMAND) {
            return FALSE;
        }
        int id = LOWORD(wParam);
        if (id == IDCANCEL) {
            id = cancelAnswer;
        }
        if (id != 0) {
            EndDialog(hDlg, id);
        }
        return TRUE;
    };
    const INT_PTR result = RunModal(d, 0);
    if (result == IDCANCEL && cancelAnswer != IDCANCEL) {
        // Ended by a quit: the closest answer the box has.
        return cancelAnswer != 0 ? cancelAnswer : buttons.back().id;
    }
    return static_cast<int>(result);
}

void InstallMessageBoxWindow() {
    SetMessageBoxPresenter(&ShowMessageBoxWindow);
}

namespace {
// Message boxes become windows as soon as the window system is linked in.
const bool kInstalled = (SetMessageBoxPresenter(&ShowMessageBoxWindow), true);
} // namespace

} // namespace user32
