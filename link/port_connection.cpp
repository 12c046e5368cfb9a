#include "link/port_connection.h"

#include "link/line_settings.h"
#include "platform/afx/cstring.h"
#include "platform/win32/comm.h"
#include "platform/win32/kernel.h"
#include "platform/win32/user.h"
#include "platform/win32/write_progress.h"

BOOL g_bPortOpen = 0;

namespace {

constexpr DWORD kQueueSize = 1024;
constexpr WCHAR kCantSend[] = TEXT("Can't Send Data to Printer!");

// Reads return at once with what has arrived; writes have no time-out.
COMMTIMEOUTS PrinterTimeouts() {
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = 0xFFFFFFFF;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 0;
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = 0;
    return timeouts;
}

void ShowError(PortHost& host, LPCWSTR lpszText) {
    MessageBoxW(host.MessageOwner(), lpszText, TEXT("Error"), MB_OK);
}

// The one message for a port that cannot be used, whichever call refused it.
void ReportOpenFailure(PortHost& host, LPCWSTR szPort, DWORD dwError) {
    CString strMessage;
    strMessage.Format(TEXT("Unable to open %s, Error No.=%d"), szPort, static_cast<int>(dwError));
    ShowError(host, strMessage);
}

// Applies the time-outs, the printer's line settings and the queue sizes.
// Stops at the first call the port refuses, with that call's last error.
bool ConfigurePort(HANDLE hPort) {
    COMMTIMEOUTS timeouts = PrinterTimeouts();
    if (!SetCommTimeouts(hPort, &timeouts)) {
        return false;
    }
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    if (!GetCommState(hPort, &dcb)) {
        // Nothing was read: start from an empty block rather than from
        // whatever a failed read may have left in it.
        dcb = DCB{};
        dcb.DCBlength = sizeof(DCB);
    }
    SetPrinterLineSettings(dcb);
    return SetCommState(hPort, &dcb) && SetupComm(hPort, kQueueSize, kQueueSize);
}

// The printer was switched off, unplugged or its link dropped: the handle
// leads nowhere any more, and only opening the port again can reach it.
bool PrinterIsGone(DWORD dwError) {
    return dwError == ERROR_DEVICE_NOT_CONNECTED || dwError == ERROR_DEVICE_REMOVED ||
           dwError == ERROR_BROKEN_PIPE || dwError == ERROR_NETNAME_DELETED;
}

} // namespace

bool OpenPort(PortHost& host, int nPort) {
    if (g_bPortOpen) {
        return true;
    }

    WCHAR szPort[32];
    wsprintfW(szPort, TEXT("COM%d:"), nPort);

    HANDLE& hPort = host.PortHandle();
    hPort =
        CreateFileW(szPort, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (hPort == INVALID_HANDLE_VALUE) {
        ReportOpenFailure(host, szPort, GetLastError());
        return false;
    }

    if (!ConfigurePort(hPort)) {
        // Taken before the close, which must not stand in for the refusal.
        const DWORD dwError = GetLastError();
        CloseHandle(hPort);
        ReportOpenFailure(host, szPort, dwError);
        return false;
    }

    g_bPortOpen = 1;
    return true;
}

bool ClosePort(PortHost& host) {
    if (g_bPortOpen) {
        CloseHandle(host.PortHandle());
    }
    g_bPortOpen = 0;
    return true;
}

bool WritePort(PortHost& host, const void* pBytes, DWORD nCount) {
    if (!g_bPortOpen) {
        // Closed for a gone printer earlier in this job: the old handle value
        // may already name another object.
        ShowError(host, kCantSend);
        return false;
    }
    DWORD nWritten = 0;
    if (!WriteFile(host.PortHandle(), pBytes, nCount, &nWritten, nullptr)) {
        // Read before the message box, whose own calls may set another error.
        const DWORD dwError = GetLastError();
        ShowError(host, kCantSend);
        if (PrinterIsGone(dwError)) {
            ClosePort(host);
        }
        return false;
    }
    return true;
}

void AnnounceJobSize(PortHost& host, ULONGLONG nBytes) {
    if (g_bPortOpen) {
        AnnounceWriteTotal(host.PortHandle(), nBytes);
    }
}
