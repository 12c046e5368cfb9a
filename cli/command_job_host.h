// What the form is to the print and test jobs and to the loader, for a job
// started from the command line: the choices come from the command's
// options, the text from a file or standard input, and there are no buttons
// to enable and no window to own the messages.
#pragma once

#include "cli/command_options.h"
#include "document/loader_host.h"
#include "engine/print_job_host.h"

class CCommandJobHost : public PrintJobHost, public LoaderHost {
public:
    explicit CCommandJobHost(PrintChoices choices);

    HANDLE& PortHandle() override { return m_hPort; }
    HWND MessageOwner() const override { return nullptr; }

    // The stored values are the options: there is nothing to read.
    void ReadForm() override {}
    CString& StoredText() override { return m_strText; }
    BOOL StoredUnderline() override { return m_choices.bUnderline ? TRUE : FALSE; }
    BOOL StoredDirection() override { return m_choices.bDirection ? TRUE : FALSE; }
    BOOL StoredWhite() override { return m_choices.bWhite ? TRUE : FALSE; }
    int WidthSelection() override { return m_choices.nWidth; }
    int HeightSelection() override { return m_choices.nHeight; }
    int PrinterSelection() override { return m_choices.nModel; }
    int PortSelection() override { return m_choices.nPort - 1; }
    void EnablePrintButton(BOOL) override {}
    void EnableTestButton(BOOL) override {}

    CString& StoredFile() override { return m_strFile; }
    void ReadChoices() override {}
    void RefreshForm() override {}

private:
    PrintChoices m_choices;
    HANDLE m_hPort;
    CString m_strText;
    CString m_strFile;
};
