#include "tests/platform/afx/test_form.h"

namespace afx_test {

BEGIN_MESSAGE_MAP(CTestForm, CDialog)
ON_BN_CLICKED(kGoButton, OnGo)
ON_CBN_SELCHANGE(kModelCombo, OnModelChanged)
END_MESSAGE_MAP()

} // namespace afx_test
