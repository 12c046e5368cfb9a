// What the print and test jobs need of the main form.
#pragma once

#include "link/port_host.h"
#include "platform/afx/cstring.h"
#include "platform/win32/types.h"

class PrintJobHost : public PortHost {
public:
    // Copies every bound control into its stored value.
    virtual void ReadForm() = 0;

    // The stored text m_strText.
    virtual CString& StoredText() = 0;
    // The stored flags m_bUnderline, m_bDirection and m_bWhite.
    virtual BOOL StoredUnderline() = 0;
    virtual BOOL StoredDirection() = 0;
    virtual BOOL StoredWhite() = 0;

    // The lists' current selection index, −1 when nothing is selected.
    virtual int WidthSelection() = 0;
    virtual int HeightSelection() = 0;
    virtual int PrinterSelection() = 0;
    virtual int PortSelection() = 0;

    virtual void EnablePrintButton(BOOL bEnable) = 0;
    virtual void EnableTestButton(BOOL bEnable) = 0;
};
