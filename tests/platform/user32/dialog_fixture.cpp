#include "tests/platform/user32/dialog_fixture.h"

#include "platform/entry/resource_table.h"
#include "tests/platform/user32/template_builder.h"

namespace tb = testing_bytes;

namespace dialog_test {

int Recorder::count(int id, int code) const {
    int n = 0;
    for (const auto& c : commands) {
        n += c == Command{id, code} ? 1 : 0;
    }
    return n;
}

Recorder& Record() {
    static Recorder r;
    return r;
}

HMODULE TestModule() {
    return reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(0x7E0000));
}

namespace {

tb::Dialog TestTemplate() {
    tb::Dialog d;
    d.style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    d.exStyle = WS_EX_CAPTIONOKBTN;
    d.cx = 160;
    d.cy = 104;
    d.caption = u"Test";
    auto add = [&](std::uint16_t cls, std::uint32_t id, std::u16string text, short x, short y,
                   short cx, short cy, std::uint32_t style) {
        tb::Control c;
        c.classOrdinal = cls;
        c.id = id;
        c.text = std::move(text);
        c.x = x;
        c.y = y;
        c.cx = cx;
        c.cy = cy;
        c.style = WS_CHILD | WS_VISIBLE | style;
        d.controls.push_back(c);
    };
    add(0x82, 65535, u"&Name:", 4, 4, 30, 8, WS_GROUP);
    add(0x81, kName, u"", 36, 4, 60, 10, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL);
    add(0x85, kCombo, u"", 36, 20, 40, 60, WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWN);
    add(0x85, kSorted, u"", 84, 20, 40, 60, WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWN | CBS_SORT);
    add(0x80, kCheck, u"&Check", 4, 36, 50, 10, WS_TABSTOP | BS_AUTOCHECKBOX);
    add(0x81, kText, u"", 4, 44, 150, 40,
        WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN);
    add(0x81, kPath, u"", 4, 86, 90, 10, WS_BORDER | WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL);
    add(0x80, kGo, u"Go", 100, 86, 24, 10, BS_DEFPUSHBUTTON);
    add(0x80, kOff, u"Off", 126, 86, 16, 10, WS_TABSTOP | WS_DISABLED);
    add(0x80, IDCANCEL, u"Cancel", 100, 96, 40, 8, WS_TABSTOP);
    return d;
}

tb::Dialog ListTemplate() {
    tb::Dialog d;
    d.style = WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_SETFONT;
    d.cx = 120;
    d.cy = 80;
    d.caption = u"Lists";
    tb::Control list;
    list.classOrdinal = 0x83;
    list.id = kList;
    list.x = 4;
    list.y = 4;
    list.cx = 60;
    list.cy = 40;
    list.style = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP;
    tb::Control pick;
    pick.classOrdinal = 0x85;
    pick.id = kPick;
    pick.x = 4;
    pick.y = 56;
    pick.cx = 60;
    pick.cy = 50;
    pick.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST;
    d.controls = {list, pick};
    return d;
}

} // namespace

void RegisterTestResources() {
    static const tb::Bytes dialog = tb::DialogEx(TestTemplate());
    static const tb::Bytes lists = tb::DialogClassic(ListTemplate());
    static const RESOURCE_ITEM items[] = {
        {ResourceTypeNumber(RT_DIALOG), kDialogId, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
         dialog.data(), static_cast<DWORD>(dialog.size())},
        {ResourceTypeNumber(RT_DIALOG), kListDialogId, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
         lists.data(), static_cast<DWORD>(lists.size())},
    };
    RegisterModuleResources(TestModule(), items, std::size(items));
}

INT_PTR CALLBACK TestDialogProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM) {
    Recorder& r = Record();
    if (msg == WM_INITDIALOG) {
        r.dialog = hDlg;
        if (r.onInit) {
            r.onInit(hDlg);
        }
        return r.initAnswer;
    }
    if (msg == WM_COMMAND) {
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        r.commands.push_back({id, code});
        if (r.onCommand) {
            r.onCommand(id, code);
        }
        if ((id == IDOK || id == IDCANCEL) && code == BN_CLICKED) {
            EndDialog(hDlg, id);
        }
        return TRUE;
    }
    return FALSE;
}

INT_PTR RunTestDialog() {
    return DialogBoxParamW(TestModule(), MAKEINTRESOURCEW(kDialogId), nullptr, &TestDialogProc, 0);
}

INT_PTR RunListDialog() {
    return DialogBoxParamW(TestModule(), MAKEINTRESOURCEW(kListDialogId), nullptr, &TestDialogProc,
                           0);
}

HWND Item(int id) {
    return GetDlgItem(Record().dialog, id);
}

std::u16string Text(int id) {
    HWND h = Item(id);
    std::u16string s(static_cast<std::size_t>(GetWindowTextLengthW(h)) + 1, u'\0');
    const int n = GetWindowTextW(h, s.data(), static_cast<int>(s.size()));
    s.resize(static_cast<std::size_t>(n));
    return s;
}

LRESULT Send(int id, UINT msg, WPARAM wParam, LPARAM lParam) {
    return SendMessageW(Item(id), msg, wParam, lParam);
}

void DialogTest::SetUp() {
    RegisterTestResources();
    Screen().reset(80, 24);
    Record() = Recorder{};
}

} // namespace dialog_test
