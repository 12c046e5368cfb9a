// The messages through which the dialog manager and the controls work
// together (the default button, the next control, clicks by message), the
// window classes a template may name, and the combo box's list as a pop-up
// window of its own.
#include "platform/user32/core/system.h"
#include "platform/user32/core/window_class.h"
#include "tests/platform/user32/dialog_fixture.h"
#include "tests/platform/user32/template_builder.h"

using namespace dialog_test;
using screen::Key;

namespace {

void Then(std::function<void(headless::HeadlessFrontEnd&)> step) {
    Screen().then(std::move(step));
}

int FocusId() {
    return GetDlgCtrlID(GetFocus());
}

DWORD ButtonType(int id) {
    return static_cast<DWORD>(GetWindowLongW(Item(id), GWL_STYLE)) & BS_TYPEMASK;
}

} // namespace

TEST_F(DialogTest, TheDefaultButtonFollowsSetDefId) {
    LRESULT before = 0, after = 0;
    Record().onInit = [&](HWND dlg) {
        before = SendMessageW(dlg, DM_GETDEFID, 0, 0);
        SendMessageW(dlg, DM_SETDEFID, IDCANCEL, 0);
        after = SendMessageW(dlg, DM_GETDEFID, 0, 0);
    };
    DWORD goType = 0, cancelType = 0;
    Then([&](auto& s) {
        goType = ButtonType(kGo);
        cancelType = ButtonType(IDCANCEL);
        SetFocus(Item(kName));
        s.key(Key::Enter);
    });
    EXPECT_EQ(RunTestDialog(), IDCANCEL);
    EXPECT_EQ(before, static_cast<LRESULT>(MAKELONG(kGo, DC_HASDEFID)));
    EXPECT_EQ(after, static_cast<LRESULT>(MAKELONG(IDCANCEL, DC_HASDEFID)));
    EXPECT_EQ(goType, BS_PUSHBUTTON);
    EXPECT_EQ(cancelType, BS_DEFPUSHBUTTON);
    EXPECT_EQ(Record().count(kGo, BN_CLICKED), 0);
}

TEST_F(DialogTest, ClickByMessagePressesOnlyWhatTheUserCouldPress) {
    LRESULT checked = BST_UNCHECKED;
    Then([&](auto& s) {
        Send(kCheck, BM_CLICK);
        Send(kOff, BM_CLICK);
        checked = Send(kCheck, BM_GETCHECK);
        s.key(Key::Escape);
    });
    RunTestDialog();
    EXPECT_EQ(checked, BST_CHECKED);
    EXPECT_EQ(Record().count(kCheck, BN_CLICKED), 1);
    EXPECT_EQ(Record().count(kOff, BN_CLICKED), 0);
}

TEST_F(DialogTest, NextDialogControlMovesAsTabDoesOrToTheNamedControl) {
    int byTab = 0, byMessage = 0, named = 0;
    Then([](auto& s) {
        SetFocus(Item(kName));
        s.key(Key::Tab);
    });
    Then([&](auto&) {
        byTab = FocusId();
        SetFocus(Item(kName));
        SendMessageW(Record().dialog, WM_NEXTDLGCTL, 0, FALSE);
        byMessage = FocusId();
        SendMessageW(Record().dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(kCheck)), TRUE);
        named = FocusId();
    });
    Then([](auto& s) { s.key(Key::Escape); });
    RunTestDialog();
    EXPECT_NE(byTab, kName);
    EXPECT_EQ(byMessage, byTab);
    EXPECT_EQ(named, kCheck);
}

TEST_F(DialogTest, TheOpenListIsAPopUpOwnedByItsComboBox) {
    Record().onInit = [](HWND) { Send(kCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"one")); };
    HWND list = nullptr, listParent = nullptr, combo = nullptr;
    bool hiddenWhenClosed = false;
    Then([](auto& s) {
        SetFocus(Item(kCombo));
        s.key(Key::F4);
    });
    Then([&](auto& s) {
        const auto& popups = user32::System::get().popups();
        ASSERT_EQ(popups.size(), 1u);
        list = popups.back()->hwnd();
        listParent = GetParent(list);
        combo = Item(kCombo);
        s.key(Key::Escape); // closes the list, not the dialog
    });
    Then([&](auto& s) {
        hiddenWhenClosed = user32::System::get().popups().empty() && IsWindow(list);
        s.key(Key::Escape);
    });
    RunTestDialog();
    EXPECT_EQ(listParent, combo);
    EXPECT_TRUE(hiddenWhenClosed);
    EXPECT_FALSE(IsWindow(list)) << "the list outlived its combo box";
}

namespace {

// A class of the test's own: what the template gave it is what it shows.
class ProbeWindow : public user32::Window {
public:
    static constexpr user32::WindowKind kKind{"Probe"};
    ProbeWindow() : Window(kKind) {}
};

INT_PTR CALLBACK EndAtOnce(HWND hDlg, UINT msg, WPARAM, LPARAM) {
    if (msg == WM_INITDIALOG) {
        Record().dialog = hDlg;
        if (Record().onInit) {
            Record().onInit(hDlg);
        }
        EndDialog(hDlg, IDOK);
    }
    return FALSE;
}

INT_PTR RunWithClass(const std::u16string& className) {
    testing_bytes::Dialog d;
    d.style = WS_POPUP | WS_CAPTION;
    d.cx = 100;
    d.cy = 40;
    testing_bytes::Control c;
    c.className = className;
    c.id = 7;
    c.text = u"probe text";
    c.cx = 40;
    c.cy = 10;
    c.style = WS_CHILD | WS_VISIBLE;
    d.controls.push_back(c);
    const auto bytes = testing_bytes::DialogEx(d);
    return DialogBoxIndirectParamW(nullptr, reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()),
                                   nullptr, &EndAtOnce, 0);
}

} // namespace

TEST_F(DialogTest, ATemplateNamesAnyRegisteredClassInAnyCase) {
    user32::RegisterWindowClass(u"TestProbe", [](DWORD) -> std::unique_ptr<user32::Window> {
        return std::make_unique<ProbeWindow>();
    });
    bool probeMade = false;
    std::u16string text;
    Record().onInit = [&](HWND) {
        probeMade = user32::As<ProbeWindow>(user32::System::get().find(Item(7))) != nullptr;
        text = Text(7);
    };
    EXPECT_EQ(RunWithClass(u"tESTpROBE"), IDOK);
    EXPECT_TRUE(probeMade);
    EXPECT_EQ(text, u"probe text");
    EXPECT_EQ(RunWithClass(u"NoSuchClass"), -1);
}
