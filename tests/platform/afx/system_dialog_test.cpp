// The framework on the system's own dialog manager: template 102 and its list
// data, linked into this test as into the program, make a real dialog whose
// controls the framework fills and exchanges data with. Built for Windows
// only (the Linux build tests the same on the headless screen).
#include "platform/afx/framework.h"
#include "platform/win32/user.h"
#include "ui/resource.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Text = std::basic_string<WCHAR>;

Text WindowText(HWND hWnd) {
    WCHAR buffer[256] = {};
    ::GetWindowTextW(hWnd, buffer, 256);
    return buffer;
}

Text ListEntry(HWND combo, int index) {
    const LRESULT length = ::SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR) {
        return TEXT("(none)");
    }
    Text text(static_cast<std::size_t>(length) + 1, TEXT('\0'));
    ::SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

// Records what the form looks like once the framework has set it up, runs
// data exchange both ways, then ends itself.
class CProbeDialog : public CDialog {
public:
    CProbeDialog() : CDialog(IDD_MAIN) {}

    std::vector<Text> printers;
    std::vector<int> counts; // COM, Width, Height, Printer
    DWORD printStyle = 0;
    Text shownText, shownModel;
    int shownCheck = -1;
    CString readText, readModel;
    int readCheck = -1;

    CString m_strText;
    CString m_strModel;
    int m_nUnderline = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        CDialog::DoDataExchange(pDX);
        DDX_Text(pDX, IDC_TEXT, m_strText);
        DDX_CBString(pDX, IDC_PRINTER, m_strModel);
        DDX_Check(pDX, IDC_UNDERLINE, m_nUnderline);
    }

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        for (int id : {IDC_COM, IDC_WIDTH, IDC_HEIGHT, IDC_PRINTER}) {
            counts.push_back(
                static_cast<int>(::SendMessageW(::GetDlgItem(m_hWnd, id), CB_GETCOUNT, 0, 0)));
        }
        for (int i = 0; i < 4; ++i) {
            printers.push_back(ListEntry(::GetDlgItem(m_hWnd, IDC_PRINTER), i));
        }
        printStyle =
            static_cast<DWORD>(::GetWindowLongW(::GetDlgItem(m_hWnd, IDC_PRINT), GWL_STYLE));

        // Members to controls...
        m_strText = TEXT("line one\r\nline two");
        m_strModel = TEXT("sov");
        m_nUnderline = 1;
        UpdateData(FALSE);
        shownText = WindowText(::GetDlgItem(m_hWnd, IDC_TEXT));
        shownModel = WindowText(::GetDlgItem(m_hWnd, IDC_PRINTER));
        shownCheck = static_cast<int>(
            ::SendMessageW(::GetDlgItem(m_hWnd, IDC_UNDERLINE), BM_GETCHECK, 0, 0));

        // ...and back, after the user's changes.
        ::SetWindowTextW(::GetDlgItem(m_hWnd, IDC_TEXT), TEXT("typed"));
        ::SendMessageW(::GetDlgItem(m_hWnd, IDC_PRINTER), CB_SETCURSEL, 3, 0);
        ::SendMessageW(::GetDlgItem(m_hWnd, IDC_UNDERLINE), BM_SETCHECK, BST_UNCHECKED, 0);
        UpdateData(TRUE);
        readText = m_strText;
        readModel = m_strModel;
        readCheck = m_nUnderline;

        EndDialog(IDOK);
        return TRUE;
    }
};

TEST(SystemDialog, TheFormIsBuiltFromItsTemplateAndFilledFromItsListData) {
    CProbeDialog dlg;
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.counts, (std::vector<int>{9, 4, 4, 4}));
    EXPECT_EQ(dlg.printers,
              (std::vector<Text>{TEXT("Qelvo"), TEXT("Rinth"), TEXT("Sovak"), TEXT("Wexol")}));
    // The default button keeps the template's style: no tab stop.
    EXPECT_EQ(dlg.printStyle & BS_TYPEMASK, static_cast<DWORD>(BS_DEFPUSHBUTTON));
    EXPECT_EQ(dlg.printStyle & WS_TABSTOP, 0u);
}

TEST(SystemDialog, DataExchangeRunsBothWaysOnTheSystemsControls) {
    CProbeDialog dlg;
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.shownText, TEXT("line one\r\nline two"));
    EXPECT_EQ(dlg.shownModel, TEXT("Sovak")); // the first entry that begins with the text
    EXPECT_EQ(dlg.shownCheck, BST_CHECKED);
    EXPECT_EQ(dlg.readText, TEXT("typed"));
    EXPECT_EQ(dlg.readModel, TEXT("Wexol"));
    EXPECT_EQ(dlg.readCheck, 0);
}

} // namespace
