// CPrinterApp: the application object. It runs the main form once, modally,
// and ends the program when the form closes.
#pragma once

#include "platform/afx/framework.h"

class CPrinterApp : public CWinApp {
public:
    CPrinterApp();
    ~CPrinterApp() override;

    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};

extern CPrinterApp theApp;
