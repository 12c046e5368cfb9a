// The framework's module state: what kind of module this is, the framework
// version it was built for, its instance and resource handles and its one
// application object.
#pragma once

#include "platform/win32/types.h"

class CWinApp;

inline constexpr DWORD kAfxFrameworkVersion = 0x0600;

struct AFX_MODULE_STATE {
    BOOL m_bDLL;       // FALSE: an application, not a library
    DWORD m_dwVersion; // the framework version the module was built with
    HINSTANCE m_hCurrentInstanceHandle;
    HINSTANCE m_hCurrentResourceHandle;
    CWinApp* m_pCurrentWinApp;
    // The program's file name, without folder and extension, as the start-up
    // code found it; the default application title.
    WCHAR m_szModuleName[260];
};

// Initialised on first use, as an application with version 0x0600: before
// the application object's constructor has run to its end.
AFX_MODULE_STATE* AfxGetModuleState();

// The start-up code records the program's path (or name) here, before the
// framework's main routine runs.
void AfxSetModuleFileName(LPCWSTR lpszPath);

HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstResource);
// The module that holds the resource (name, type); the resource module when
// none does.
HINSTANCE AfxFindResourceHandle(LPCWSTR lpszName, LPCWSTR lpszType);
