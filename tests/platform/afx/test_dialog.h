// A small dialog template with list data, registered as resources of the
// program's module: a name field, a check box, a drop-down combo box filled
// from the list data, a "Go" button, OK (the default button) and Cancel.
#pragma once

#include "platform/win32/types.h"

namespace afx_test {

inline constexpr WORD kTestDialogId = 200;
inline constexpr int kNameEdit = 10;
inline constexpr int kUnderlineCheck = 11;
inline constexpr int kModelCombo = 12;
inline constexpr int kGoButton = 13;

// The combo box's entries, in list-data order.
inline constexpr const char16_t* kModels[] = {u"Qelvo", u"Rinth", u"Sovak", u"Wexol"};

// Registers the template and its list data (idempotent).
void RegisterTestDialog();

} // namespace afx_test
