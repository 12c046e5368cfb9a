// A CDialog over the test template, bound the way a program binds its form:
// wrappers for the combo box and the check box, text, check state and combo
// text exchanged with members, and a message map for "Go" and the combo's
// selection changes.
#pragma once

#include "platform/afx/framework.h"
#include "tests/platform/afx/test_dialog.h"

#include <functional>

namespace afx_test {

class CTestForm : public CDialog {
public:
    CTestForm() : CDialog(kTestDialogId) {}

    CComboBox m_cbModel;
    CButton m_btnUnderline;
    CString m_strName;
    BOOL m_bUnderline = FALSE;
    CString m_strModel;

    bool keepTemplateSize = true;
    int goClicks = 0;
    int modelChanges = 0;
    int okCalls = 0;
    // Runs at the end of OnInitDialog, with the controls alive.
    std::function<void(CTestForm&)> afterInit;

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        if (keepTemplateSize) {
            m_bFullScreen = FALSE;
        }
        if (afterInit) {
            afterInit(*this);
        }
        return TRUE;
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, kModelCombo, m_cbModel);
        DDX_Control(pDX, kUnderlineCheck, m_btnUnderline);
        DDX_Text(pDX, kNameEdit, m_strName);
        DDX_Check(pDX, kUnderlineCheck, m_bUnderline);
        DDX_CBString(pDX, kModelCombo, m_strModel);
    }

    void OnOK() override {
        ++okCalls;
        CDialog::OnOK();
    }

    afx_msg void OnGo() { ++goClicks; }
    afx_msg void OnModelChanged() { ++modelChanges; }

    DECLARE_MESSAGE_MAP()
};

} // namespace afx_test
