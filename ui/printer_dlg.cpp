#include "ui/printer_dlg.h"

#include "document/text_file_loader.h"
#include "engine/print_jobs.h"
#include "link/port_connection.h"

CPrinterDlg::CPrinterDlg(CWnd* pParent)
    : CDialog(CPrinterDlg::IDD, pParent), m_hPort(INVALID_HANDLE_VALUE), m_strText(TEXT("")),
      m_strFile(TEXT("")), m_bUnderline(FALSE), m_bDirection(FALSE), m_bWhite(FALSE),
      m_strModel(TEXT("")),
      m_hIcon(::LoadIconW(AfxFindResourceHandle(MAKEINTRESOURCEW(IDR_MAINFRAME), RT_GROUP_ICON),
                          MAKEINTRESOURCEW(IDR_MAINFRAME))) {}

// The port connection outlives the form on purpose: it ends with the program.
CPrinterDlg::~CPrinterDlg() = default;

void CPrinterDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PRINTER, m_cbPrinter);
    DDX_Control(pDX, IDC_PRINT, m_btnPrint);
    DDX_Control(pDX, IDC_TEST, m_btnTest);
    DDX_Control(pDX, IDC_WIDTH, m_cbWidth);
    DDX_Control(pDX, IDC_HEIGHT, m_cbHeight);
    DDX_Control(pDX, IDC_COM, m_cbCom);
    DDX_Text(pDX, IDC_TEXT, m_strText);
    DDX_Text(pDX, IDC_FILE, m_strFile);
    DDX_Check(pDX, IDC_UNDERLINE, m_bUnderline);
    DDX_Check(pDX, IDC_DIRECTION, m_bDirection);
    DDX_Check(pDX, IDC_WHITE, m_bWhite);
    DDX_CBString(pDX, IDC_PRINTER, m_strModel);
}

// clang-format off
BEGIN_MESSAGE_MAP(CPrinterDlg, CDialog)
    ON_BN_CLICKED(IDC_PRINT, OnPrint)
    ON_BN_CLICKED(IDC_TEST, OnTest)
    ON_BN_CLICKED(IDC_BROWSE, OnBrowse)
    ON_CBN_SELCHANGE(IDC_COM, OnPortChanged)
END_MESSAGE_MAP()
// clang-format on

BOOL CPrinterDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    m_cbCom.SetCurSel(2);
    m_cbWidth.SetCurSel(0);
    m_cbHeight.SetCurSel(0);
    m_cbPrinter.SetCurSel(0);

    // The form keeps its template size rather than filling the screen.
    m_bFullScreen = FALSE;

    CenterWindow();
    return TRUE;
}

void CPrinterDlg::OnPrint() {
    RunPrintJob(*this);
}

void CPrinterDlg::OnTest() {
    RunTestJob(*this);
}

void CPrinterDlg::OnPortChanged() {
    ClosePort(*this);
}

void CPrinterDlg::OnBrowse() {
    CFileDialog dlg(TRUE, TEXT("*.TXT"), nullptr, 0,
                    TEXT("TEXT Files (*.TXT)|*.TXT|All Files (*.*)|*.*||"), nullptr);
    if (dlg.DoModal() != IDOK) {
        return;
    }
    LoadTextFile(*this, dlg.GetPathName());
}

void CPrinterDlg::ReadForm() {
    UpdateData(TRUE);
}

void CPrinterDlg::RefreshForm() {
    UpdateData(FALSE);
}

void CPrinterDlg::ReadChoices() {
    CDataExchange dx(this, TRUE);
    DDX_Check(&dx, IDC_UNDERLINE, m_bUnderline);
    DDX_Check(&dx, IDC_DIRECTION, m_bDirection);
    DDX_Check(&dx, IDC_WHITE, m_bWhite);
    DDX_CBString(&dx, IDC_PRINTER, m_strModel);
}
