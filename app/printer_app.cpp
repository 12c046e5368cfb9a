#include "app/printer_app.h"

#include "ui/printer_dlg.h"

// clang-format off
BEGIN_MESSAGE_MAP(CPrinterApp, CWinApp)
END_MESSAGE_MAP()
// clang-format on

CPrinterApp::CPrinterApp() : CWinApp(nullptr) {}

CPrinterApp::~CPrinterApp() = default;

// This object's file is linked ahead of the libraries, so theApp is
// constructed (and its destruction registered) after the framework's module
// state and before the command block is allocated.
CPrinterApp theApp;

BOOL CPrinterApp::InitInstance() {
    CPrinterDlg dlg(nullptr);
    m_pMainWnd = &dlg;
    dlg.DoModal(); // Quit and the caption's OK both simply end the program
    m_pMainWnd = nullptr;
    // FALSE: the framework ends the program instead of entering a message loop.
    return FALSE;
}
