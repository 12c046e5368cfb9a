// Stand-ins for the main form as the engine and the port connection see it:
// the member that holds the port handle, the owner of message boxes, and, for
// jobs, the controls with their stored values and a log of what a job did.
#pragma once

#include "engine/print_job_host.h"

#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// An owner the tests can recognise in recorded message boxes.
inline const HWND kFormWindow = reinterpret_cast<HWND>(0x3E9);

class FakePortHost : public PortHost {
public:
    explicit FakePortHost(HWND messageOwner = kFormWindow) : owner(messageOwner) {}

    HANDLE& PortHandle() override { return m_hPort; }
    HWND MessageOwner() const override { return owner; }

    HWND owner;
    HANDLE m_hPort = nullptr;
};

class FakeJobForm : public PrintJobHost {
public:
    // Controls: the text box, the check boxes, the lists' selections (x2, x1,
    // the first model, COM3).
    std::u16string textBox = u"AB";
    BOOL underlineBox = TRUE, directionBox = FALSE, whiteBox = FALSE;
    int width = 1, height = 0, printer = 0, port = 2;
    HWND owner = kFormWindow;

    // Stored values.
    CString m_strText;
    BOOL m_bUnderline = FALSE, m_bDirection = FALSE, m_bWhite = FALSE;
    HANDLE m_hPort = nullptr;

    // What the job asked and did, in order; off where a test counts the
    // memory that jobs keep.
    std::vector<std::string> log;
    bool logging = true;
    std::function<void()> onPrinterSelection;

    void ReadForm() override {
        Note("read form");
        m_strText = CString(textBox.c_str());
        m_bUnderline = underlineBox;
        m_bDirection = directionBox;
        m_bWhite = whiteBox;
    }
    CString& StoredText() override { return m_strText; }
    BOOL StoredUnderline() override { return m_bUnderline; }
    BOOL StoredDirection() override { return m_bDirection; }
    BOOL StoredWhite() override { return m_bWhite; }
    int WidthSelection() override { return Log("width", width); }
    int HeightSelection() override { return Log("height", height); }
    int PrinterSelection() override {
        if (onPrinterSelection) {
            onPrinterSelection();
        }
        return Log("printer", printer);
    }
    int PortSelection() override { return Log("port", port); }
    void EnablePrintButton(BOOL b) override { Note(b ? "enable Print" : "disable Print"); }
    void EnableTestButton(BOOL b) override { Note(b ? "enable Test" : "disable Test"); }
    HANDLE& PortHandle() override { return m_hPort; }
    HWND MessageOwner() const override { return owner; }

private:
    void Note(const char* what) {
        if (logging) {
            log.emplace_back(what);
        }
    }
    int Log(const char* what, int value) {
        Note(what);
        return value;
    }
};

} // namespace testing_support
