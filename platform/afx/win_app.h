// CWinApp: the one application object, and the framework's main routine
// that runs it.
#pragma once

#include "platform/afx/message_map.h"
#include "platform/afx/module_state.h"
#include "platform/win32/types.h"

#include <string>

class CWnd;

class CWinApp : public CCmdTarget {
public:
    // Registers this object as the module's application. Without a name the
    // application title is the program's file name.
    explicit CWinApp(LPCWSTR lpszAppName = nullptr);
    ~CWinApp() override;

    // Per-instance initialisation; answering FALSE ends the program.
    virtual BOOL InitInstance();
    // The message loop of a program whose main window outlives InitInstance;
    // answers the exit code.
    virtual int Run();
    // Clean-up at the end of the run; answers the exit code.
    virtual int ExitInstance();

    HICON LoadIcon(UINT nIDResource) const;
    HICON LoadIcon(LPCWSTR lpszResourceName) const;

    LPCWSTR m_pszAppName = nullptr;
    HINSTANCE m_hInstance = nullptr;
    LPWSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = 0;
    CWnd* m_pMainWnd = nullptr;

    DECLARE_MESSAGE_MAP()

private:
    std::basic_string<WCHAR> appName_; // what m_pszAppName points at when the framework chose it
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
// The application title: the application's name, else the program's file name.
LPCWSTR AfxGetAppName();

// Sets up the module state and the application's start values.
BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow);
// The framework's main routine: initialises the application and runs it.
// When InitInstance answers FALSE the program ends there, with ExitInstance's
// code, and no message loop is entered.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow);

// A modal message box under the application title.
int AfxMessageBox(LPCWSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
