#include "tests/platform/afx/test_dialog.h"

#include "platform/afx/dialog_init.h"
#include "platform/entry/resource_table.h"
#include "platform/win32/kernel.h"
#include "platform/win32/user.h"
#include "tests/support/bytes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace afx_test {
namespace {

using Bytes = testing_support::ByteWriter;

struct Item {
    WORD classOrdinal;
    WORD id;
    std::u16string text;
    short x, y, cx, cy;
    DWORD style;
};

constexpr WORD kButton = 0x80, kEdit = 0x81, kStatic = 0x82, kCombo = 0x85;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

std::vector<BYTE> Template() {
    const Item items[] = {
        {kStatic, 0xFFFF, u"Name:", 4, 6, 30, 8, kChild | SS_LEFT},
        {kEdit, kNameEdit, u"", 40, 4, 90, 12, kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
        {kButton, kUnderlineCheck, u"Underline", 4, 20, 60, 10,
         kChild | WS_TABSTOP | BS_AUTOCHECKBOX},
        {kStatic, 0xFFFF, u"Model:", 4, 36, 30, 8, kChild | SS_LEFT},
        {kCombo, kModelCombo, u"", 40, 34, 60, 60, kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN},
        {kButton, kGoButton, u"Go", 4, 60, 30, 14, kChild | WS_TABSTOP | BS_PUSHBUTTON},
        {kButton, IDOK, u"OK", 60, 60, 30, 14, kChild | WS_TABSTOP | BS_DEFPUSHBUTTON},
        {kButton, IDCANCEL, u"Cancel", 98, 60, 36, 14, kChild | WS_TABSTOP | BS_PUSHBUTTON},
    };
    Bytes b;
    b.u32(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT);
    b.u32(WS_EX_CAPTIONOKBTN);
    b.u16(static_cast<WORD>(std::size(items)));
    for (short v : {short(0), short(0), short(140), short(84)}) {
        b.u16(static_cast<WORD>(v));
    }
    b.u16(0); // no menu
    b.u16(0); // the dialog class
    b.str(u"Framework test");
    b.u16(8);
    b.str(u"System");
    for (const Item& item : items) {
        b.align4();
        b.u32(item.style);
        b.u32(0);
        for (short v : {item.x, item.y, item.cx, item.cy}) {
            b.u16(static_cast<WORD>(v));
        }
        b.u16(item.id);
        b.u16(0xFFFF);
        b.u16(item.classOrdinal);
        b.str(item.text);
        b.u16(0); // no creation data
    }
    return b.bytes;
}

std::vector<BYTE> ListData() {
    Bytes b;
    for (const char16_t* model : kModels) {
        const std::u16string text(model);
        b.u16(kModelCombo);
        b.u16(0x0403);
        b.u32(static_cast<std::uint32_t>((text.size() + 1) * 2));
        b.str(text);
    }
    b.u16(0);
    return b.bytes;
}

} // namespace

void RegisterTestDialog() {
    static const std::vector<BYTE> dialog = Template();
    static const std::vector<BYTE> listData = ListData();
    static const RESOURCE_ITEM items[] = {
        {ResourceTypeNumber(RT_DIALOG), kTestDialogId, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
         dialog.data(), static_cast<DWORD>(dialog.size())},
        {ResourceTypeNumber(RT_DLGINIT), kTestDialogId,
         MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), listData.data(),
         static_cast<DWORD>(listData.size())},
    };
    RegisterModuleResources(GetModuleHandleW(nullptr), items, std::size(items));
}

} // namespace afx_test
