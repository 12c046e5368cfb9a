// CPrinterDlg: the program's one window. It owns the stored values that the
// jobs read, binds them to the controls and routes the controls' commands to
// the jobs, the file loader and the port connection.
#pragma once

#include "document/loader_host.h"
#include "engine/print_job_host.h"
#include "platform/afx/framework.h"
#include "ui/resource.h"

class CPrinterDlg : public CDialog, public PrintJobHost, public LoaderHost {
public:
    explicit CPrinterDlg(CWnd* pParent = nullptr);
    ~CPrinterDlg() override;

    enum { IDD = IDD_MAIN };

    HANDLE m_hPort;
    CComboBox m_cbPrinter;
    CButton m_btnPrint;
    CButton m_btnTest;
    CComboBox m_cbWidth;
    CComboBox m_cbHeight;
    CComboBox m_cbCom;
    CString m_strText;
    CString m_strFile;
    BOOL m_bUnderline;
    BOOL m_bDirection;
    BOOL m_bWhite;
    CString m_strModel;
    HICON m_hIcon;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    afx_msg void OnPrint();
    afx_msg void OnTest();
    afx_msg void OnBrowse();
    afx_msg void OnPortChanged();
    DECLARE_MESSAGE_MAP()

    // What the jobs and the port connection use of the form.
    HANDLE& PortHandle() override { return m_hPort; }
    HWND MessageOwner() const override { return m_hWnd; }
    void ReadForm() override;
    CString& StoredText() override { return m_strText; }
    BOOL StoredUnderline() override { return m_bUnderline; }
    BOOL StoredDirection() override { return m_bDirection; }
    BOOL StoredWhite() override { return m_bWhite; }
    int WidthSelection() override { return m_cbWidth.GetCurSel(); }
    int HeightSelection() override { return m_cbHeight.GetCurSel(); }
    int PrinterSelection() override { return m_cbPrinter.GetCurSel(); }
    int PortSelection() override { return m_cbCom.GetCurSel(); }
    void EnablePrintButton(BOOL bEnable) override { m_btnPrint.EnableWindow(bEnable); }
    void EnableTestButton(BOOL bEnable) override { m_btnTest.EnableWindow(bEnable); }

    // What the file loader uses of the form.
    CString& StoredFile() override { return m_strFile; }
    void ReadChoices() override;
    void RefreshForm() override;
};
