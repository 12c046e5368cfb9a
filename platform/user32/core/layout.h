// From dialog units to cells. A cell of a terminal is taller than wide and
// every character is as wide as the widest, so the rule is not the font's
// 4 x 8: columns are 3 dialog units wide (labels sized for a proportional
// font still fit, "[ ] Underline" included) and rows are 8 units high.
//   every edge: round(units / 3) for columns, round(units / 8) for rows,
//   except the bottom edge of a group box: ceil((y + cy) / 8), so that a
//   frame never closes over the last row of what it holds;
//   fields, combo boxes, check boxes and one-line static texts take one row:
//   the row that holds their middle (a closed combo box counting 12 units
//   high), so that a label a few units lower than its field stays beside it.
// (round is half up.) On the main form (141 x 155 units) this gives a client
// area of 47 x 19 cells, 49 x 21 with its frame, and no two controls overlap.
#pragma once

#include "platform/user32/core/painter.h"
#include "platform/user32/resources/dialog_template.h"
#include "platform/win32/types.h"

namespace user32 {

inline constexpr int kUnitsPerColumn = 3;
inline constexpr int kUnitsPerRow = 8;
inline constexpr int kClosedComboUnits = 12;

// The plain rule, before a kind of control narrows it to one row; frame
// asks for the group box's bottom edge.
CellRect DialogUnitsToCells(int x, int y, int cx, int cy, bool frame = false);
// The place of a control in the dialog's client area.
CellRect LayoutControl(const DialogItemTemplate& item);
// Client size of a dialog of cx x cy units; its frame adds 2 x 2 cells.
CellRect DialogClientCells(int cx, int cy);
// The rows an open combo list may use, from the control's template height.
int ComboListRows(int cy);

} // namespace user32
