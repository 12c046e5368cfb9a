// A main form reduced to what the jobs read: a text box, the list choices and
// the stored values, with the port member the connection writes.
#pragma once

#include "engine/print_job_host.h"

#include <string>

namespace faults {

inline const HWND kFormWindow = reinterpret_cast<HWND>(0x7D1);

class JobForm : public PrintJobHost {
public:
    std::u16string textBox;
    int width = 1, height = 0, printer = 0, port = 2; // x2, x1, first model, COM3
    BOOL underlineBox = TRUE;

    CString m_strText;
    BOOL m_bUnderline = FALSE;
    HANDLE m_hPort = nullptr;

    void ReadForm() override {
        m_strText = CString(textBox.c_str());
        m_bUnderline = underlineBox;
    }
    CString& StoredText() override { return m_strText; }
    BOOL StoredUnderline() override { return m_bUnderline; }
    BOOL StoredDirection() override { return FALSE; }
    BOOL StoredWhite() override { return FALSE; }
    int WidthSelection() override { return width; }
    int HeightSelection() override { return height; }
    int PrinterSelection() override { return printer; }
    int PortSelection() override { return port; }
    void EnablePrintButton(BOOL) override {}
    void EnableTestButton(BOOL) override {}
    HANDLE& PortHandle() override { return m_hPort; }
    HWND MessageOwner() const override { return kFormWindow; }
};

} // namespace faults
