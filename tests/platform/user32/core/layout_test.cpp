// The dialog-unit rule on the main form: every control keeps a readable place,
// none overlaps another (a group box only frames what lies inside it), and
// the whole form fits a 80 x 24 terminal.
#include "platform/user32/core/label.h"
#include "platform/user32/core/layout.h"
#include "platform/user32/resources/dialog_template.h"
#include "tests/support/program_resources.h"

#include <gtest/gtest.h>

using namespace user32;

namespace {

DialogTemplate Form() {
    auto r = ReadDialogTemplate(FormTemplate());
    EXPECT_TRUE(r.ok());
    return r.value();
}

bool IsGroupBox(const DialogItemTemplate& item) {
    return item.windowClass.ordinal == kClassButton && (item.style & 0xF) == 7;
}

} // namespace

TEST(Layout, MainFormFitsTheTerminal) {
    const DialogTemplate t = Form();
    const CellRect client = DialogClientCells(t.cx, t.cy);
    EXPECT_EQ(client.w, 47);
    EXPECT_EQ(client.h, 19);
    EXPECT_LE(client.w + 2, 80);
    EXPECT_LE(client.h + 2, 24);
    for (const auto& item : t.items) {
        const CellRect r = LayoutControl(item);
        EXPECT_GE(r.x, 0);
        EXPECT_GE(r.y, 0);
        EXPECT_LE(r.right(), client.w) << "control " << item.id;
        EXPECT_LE(r.bottom(), client.h) << "control " << item.id;
    }
}

TEST(Layout, MainFormControlsDoNotOverlap) {
    const DialogTemplate t = Form();
    for (std::size_t i = 0; i < t.items.size(); ++i) {
        for (std::size_t j = i + 1; j < t.items.size(); ++j) {
            const CellRect a = LayoutControl(t.items[i]), b = LayoutControl(t.items[j]);
            const bool groupA = IsGroupBox(t.items[i]), groupB = IsGroupBox(t.items[j]);
            if (groupA || groupB) {
                // Inside the frame, or clear of it altogether.
                const CellRect frame = groupA ? a : b, other = groupA ? b : a;
                const CellRect inner{frame.x + 1, frame.y + 1, frame.w - 2, frame.h - 2};
                const bool inside = inner.intersect(other) == other;
                EXPECT_TRUE(inside || !frame.intersects(other))
                    << "controls " << i + 1 << " and " << j + 1 << " cross the group box frame";
                continue;
            }
            EXPECT_FALSE(a.intersects(b)) << "controls " << i + 1 << " and " << j + 1 << " overlap";
        }
    }
}

TEST(Layout, MainFormLabelsAreReadable) {
    const DialogTemplate t = Form();
    for (const auto& item : t.items) {
        const CellRect r = LayoutControl(item);
        const auto shown = static_cast<int>(ParseLabel(item.text.name).text.size());
        int needed = shown;
        if (item.windowClass.ordinal == kClassButton) {
            const DWORD type = item.style & 0xF;
            needed = type == 3   ? shown + 4
                     : type == 7 ? shown + 4
                                 : shown + 2; // "[x] ", frame, "[]"
        }
        if (item.windowClass.ordinal == kClassComboBox) {
            needed = 2 + 1; // "x1" and the arrow
        }
        EXPECT_GE(r.w, needed) << "control " << item.id << " \"" << item.text.name.size() << "\"";
    }
}

TEST(Layout, PlacesOfTheMainFormControls) {
    const DialogTemplate t = Form();
    // Printer row, COM row, then the format group and the text box below.
    EXPECT_EQ(LayoutControl(t.items[17]), (CellRect{9, 1, 9, 1}));   // printer list
    EXPECT_EQ(LayoutControl(t.items[1]), (CellRect{9, 3, 9, 1}));    // COM list
    EXPECT_EQ(LayoutControl(t.items[11]), (CellRect{19, 1, 10, 3})); // Print
    EXPECT_EQ(LayoutControl(t.items[10]), (CellRect{0, 5, 46, 6}));  // the group box
    EXPECT_EQ(LayoutControl(t.items[7]).y, 9);                       // check boxes
    EXPECT_EQ(LayoutControl(t.items[2]), (CellRect{0, 13, 46, 6}));  // text box
    EXPECT_EQ(ComboListRows(117), 14);
}

TEST(Layout, ALabelALittleLowerThanItsFieldSharesItsRow) {
    // Labels sit a few units lower than the field beside them so that their
    // text lines up with the field's; both must land on one row.
    struct Pair {
        short labelY, fieldY;
        WORD fieldClass;
        short fieldHeight;
    };
    const Pair pairs[] = {
        {36, 34, kClassComboBox, 60}, {6, 4, kClassEdit, 12},       {22, 20, kClassComboBox, 117},
        {9, 6, kClassComboBox, 58},   {53, 52, kClassComboBox, 84}, {14, 12, kClassEdit, 14},
    };
    for (const Pair& p : pairs) {
        DialogItemTemplate label, field;
        label.windowClass = NameOrOrdinal{true, kClassStatic, {}};
        label.y = p.labelY;
        label.cx = 30;
        label.cy = 8;
        field.windowClass = NameOrOrdinal{true, p.fieldClass, {}};
        field.x = 40;
        field.y = p.fieldY;
        field.cx = 60;
        field.cy = p.fieldHeight;
        EXPECT_EQ(LayoutControl(label).y, LayoutControl(field).y)
            << "label at " << p.labelY << ", field at " << p.fieldY;
    }
}
