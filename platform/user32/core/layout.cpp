#include "platform/user32/core/layout.h"

#include "platform/win32/user.h"

#include <algorithm>

namespace user32 {
namespace {

int RoundDiv(int v, int d) {
    // Half up, also for negative numbers.
    return v >= 0 ? (2 * v + d) / (2 * d) : -((-2 * v + d - 1) / (2 * d));
}

int CeilDiv(int v, int d) {
    return v >= 0 ? (v + d - 1) / d : -((-v) / d);
}

bool IsClass(const DialogItemTemplate& item, WORD ordinal, std::u16string_view name) {
    if (item.windowClass.isOrdinal) {
        return item.windowClass.ordinal == ordinal;
    }
    const auto& n = item.windowClass.name;
    if (n.size() != name.size()) {
        return false;
    }
    for (std::size_t i = 0; i < n.size(); ++i) {
        char16_t c = n[i];
        if (c >= u'a' && c <= u'z') {
            c = static_cast<char16_t>(c - u'a' + u'A');
        }
        if (c != name[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

CellRect DialogUnitsToCells(int x, int y, int cx, int cy, bool frame) {
    const int left = RoundDiv(x, kUnitsPerColumn);
    const int right = RoundDiv(x + cx, kUnitsPerColumn);
    const int top = RoundDiv(y, kUnitsPerRow);
    const int bottom = frame ? CeilDiv(y + cy, kUnitsPerRow) : RoundDiv(y + cy, kUnitsPerRow);
    return CellRect{left, top, std::max(1, right - left), std::max(1, bottom - top)};
}

CellRect LayoutControl(const DialogItemTemplate& item) {
    const bool groupBox =
        IsClass(item, kClassButton, u"BUTTON") && (item.style & BS_TYPEMASK) == BS_GROUPBOX;
    CellRect r = DialogUnitsToCells(item.x, item.y, item.cx, item.cy, groupBox);
    bool oneRow = false;
    int visibleHeight = item.cy;
    if (IsClass(item, kClassComboBox, u"COMBOBOX")) {
        oneRow = true;
        // The template gives the height with the list open; closed, a combo
        // box is as high as an edit field.
        visibleHeight = std::min<int>(item.cy, kClosedComboUnits);
    } else if (IsClass(item, kClassEdit, u"EDIT")) {
        oneRow = (item.style & ES_MULTILINE) == 0;
    } else if (IsClass(item, kClassButton, u"BUTTON")) {
        const DWORD type = item.style & BS_TYPEMASK;
        oneRow = type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON && type != BS_GROUPBOX;
    } else if (IsClass(item, kClassStatic, u"STATIC")) {
        oneRow = item.cy < 2 * kUnitsPerRow;
    }
    if (oneRow) {
        // The row that holds the control's middle, so that a label and the
        // field beside it (a few units apart, text centred in the field) meet.
        const int middle = item.y + visibleHeight / 2;
        r.y = middle >= 0 ? middle / kUnitsPerRow : -((-middle + kUnitsPerRow - 1) / kUnitsPerRow);
        r.h = 1;
    }
    return r;
}

CellRect DialogClientCells(int cx, int cy) {
    return CellRect{0, 0, std::max(1, RoundDiv(cx, kUnitsPerColumn)),
                    std::max(1, RoundDiv(cy, kUnitsPerRow))};
}

int ComboListRows(int cy) {
    return std::max(1, CeilDiv(cy, kUnitsPerRow) - 1);
}

} // namespace user32
