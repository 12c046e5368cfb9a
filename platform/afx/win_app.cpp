#include "platform/afx/win_app.h"

#include "platform/afx/wnd.h"
#include "platform/win32/kernel.h"
#include "platform/win32/resources.h"
#include "platform/win32/user.h"

namespace {

// MAX_PATH: a longer program path keeps the title it had.
constexpr DWORD kModulePathChars = 260;

} // namespace

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCWSTR lpszAppName) {
    if (lpszAppName != nullptr) {
        appName_ = lpszAppName;
        m_pszAppName = appName_.c_str();
    }
    AfxGetModuleState()->m_pCurrentWinApp = this;
}

CWinApp::~CWinApp() {
    AFX_MODULE_STATE* state = AfxGetModuleState();
    if (state->m_pCurrentWinApp == this) {
        state->m_pCurrentWinApp = nullptr;
    }
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::Run() {
    // Windows here are modal: each runs its own loop inside the call that
    // shows it, so once InitInstance is done there is nothing left to pump.
    return ExitInstance();
}

int CWinApp::ExitInstance() {
    return 0;
}

HICON CWinApp::LoadIcon(UINT nIDResource) const {
    return LoadIcon(MAKEINTRESOURCEW(nIDResource));
}

HICON CWinApp::LoadIcon(LPCWSTR lpszResourceName) const {
    return ::LoadIconW(AfxFindResourceHandle(lpszResourceName, RT_GROUP_ICON), lpszResourceName);
}

CWinApp* AfxGetApp() {
    return AfxGetModuleState()->m_pCurrentWinApp;
}

CWnd* AfxGetMainWnd() {
    CWinApp* app = AfxGetApp();
    return app != nullptr ? app->m_pMainWnd : nullptr;
}

LPCWSTR AfxGetAppName() {
    CWinApp* app = AfxGetApp();
    if (app != nullptr && app->m_pszAppName != nullptr) {
        return app->m_pszAppName;
    }
    return AfxGetModuleState()->m_szModuleName;
}

BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE, LPWSTR lpCmdLine, int nCmdShow) {
    AFX_MODULE_STATE* state = AfxGetModuleState();
    // The default application title (message boxes' caption) is the
    // program file's name.
    WCHAR path[kModulePathChars];
    const DWORD length = ::GetModuleFileNameW(hInstance, path, kModulePathChars);
    if (length > 0 && length < kModulePathChars) {
        AfxSetModuleFileName(path);
    }
    state->m_hCurrentInstanceHandle = hInstance;
    state->m_hCurrentResourceHandle = hInstance;
    if (CWinApp* app = state->m_pCurrentWinApp) {
        app->m_hInstance = hInstance;
        app->m_lpCmdLine = lpCmdLine;
        app->m_nCmdShow = nCmdShow;
        if (app->m_pszAppName == nullptr) {
            app->m_pszAppName = state->m_szModuleName;
        }
    }
    return TRUE;
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr || !AfxWinInit(hInstance, hPrevInstance, lpCmdLine, nCmdShow)) {
        return -1; // no application object: nothing to run
    }
    if (!app->InitInstance()) {
        return app->ExitInstance();
    }
    return app->Run();
}

int AfxMessageBox(LPCWSTR lpszText, UINT nType, UINT) {
    // Owned by the main window while it is up, so that it is modal to it.
    HWND owner = nullptr;
    if (CWnd* main = AfxGetMainWnd(); main != nullptr && ::IsWindow(main->m_hWnd)) {
        owner = main->m_hWnd;
    }
    return ::MessageBoxW(owner, lpszText, AfxGetAppName(), nType);
}
