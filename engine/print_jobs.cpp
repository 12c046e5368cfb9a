#include "engine/print_jobs.h"

#include "engine/command_set.h"
#include "engine/format_options.h"
#include "engine/print_stream.h"
#include "link/port_connection.h"
#include "platform/win32/kernel.h"

#include <new>

namespace {

constexpr char kLineEnd[] = "\r\n";
constexpr DWORD kPauseAfterLeadIn = 20; // ms: the printer wakes up on the lead-in

void DisableJobButtons(PrintJobHost& host) {
    host.EnableTestButton(FALSE);
    host.EnablePrintButton(FALSE);
}

void EnableJobButtons(PrintJobHost& host) {
    host.EnableTestButton(TRUE);
    host.EnablePrintButton(TRUE);
}

bool SendLeadIn(PrintJobHost& host) {
    return SendText(host, CString());
}

void Print(PrintJobHost& host) {
    host.ReadForm();
    DisableJobButtons(host);

    FormatOptions options;
    options.nWidth = host.WidthSelection();
    options.nHeight = host.HeightSelection();
    options.bUnderline = host.StoredUnderline() ? 1 : 0;
    options.bDirection = host.StoredDirection() ? 1 : 0;
    options.bWhite = host.StoredWhite() ? 1 : 0;

    // The text box itself keeps its text, so line ends never pile up from
    // one job to the next: the next job reads the box again.
    host.StoredText() += CString(kLineEnd);

    const int nPort = host.PortSelection() + 1;
    if (OpenPort(host, nPort) && SendLeadIn(host)) {
        Sleep(kPauseAfterLeadIn);
        // A model without a format block still gets its text.
        if (const auto set = CommandSetForModel(host.PrinterSelection())) {
            SendFormatBlock(host, *set, options);
        }
        SendText(host, host.StoredText());
    }

    EnableJobButtons(host);
}

} // namespace

void RunPrintJob(PrintJobHost& host) {
    // Reading the text box into the form and adding the line end each need
    // room for another copy of the text, which a large text may not find
    // (the conversion for the printer checks for itself). The strings report
    // that by throwing std::bad_alloc; the job then ends like a failed step,
    // told to the user and with its buttons back, instead of ending the
    // program.
    try {
        Print(host);
    } catch (const std::bad_alloc&) {
        ReportNotEnoughMemory(host);
        EnableJobButtons(host);
    }
}

void RunTestJob(PrintJobHost& host) {
    DisableJobButtons(host);

    const int nPort = host.PortSelection() + 1;
    if (OpenPort(host, nPort) && SendLeadIn(host)) {
        Sleep(kPauseAfterLeadIn);
        SendTestPage(host);
    }

    EnableJobButtons(host);
}
