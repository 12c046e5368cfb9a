#include "engine/print_stream.h"

#include "engine/command_block.h"
#include "engine/format_block.h"
#include "link/port_connection.h"
#include "platform/win32/codepage.h"
#include "platform/win32/user.h"

#include <memory>
#include <new>

namespace {

constexpr BYTE kTestPageHeader[] = {0x00, 0x00, 0x00, 0x00, 0x1B, 0x40};

constexpr char kTestTextHead[] = "--Use Help for Printer--\r\n\r\n"
                                 "   Make sure your PDA have the  BlueTooth Port or IR Port"
                                 " and can run well\r\n\r\n";
constexpr char kTestTextTail[] = "---Here,Test Ok,Thank you---\r\n\r\n\r\n";
static_assert(sizeof(kTestTextHead) - 1 == 106 && sizeof(kTestTextTail) - 1 == 34);

} // namespace

bool SendText(PortHost& host, const CString& s) {
    // The size counts the terminator. One zero byte more goes out after it.
    const int nSize = WideCharToMultiByte(CP_ACP, WC_COMPOSITECHECK | WC_SEPCHARS, s, -1, nullptr,
                                          0, nullptr, nullptr);
    const DWORD nBytes = static_cast<DWORD>(nSize) + 1;
    // A long text may leave no room for its conversion. That is a failed
    // step like a failed write, told to the user, with nothing of the text
    // sent; asked of the allocator rather than thrown, as the program reports
    // failures by message, not by exception.
    const std::unique_ptr<char[]> buffer(new (std::nothrow) char[nBytes]());
    if (!buffer) {
        ReportNotEnoughMemory(host);
        return false;
    }
    // Whatever this leaves unfilled goes out as zeros; the count written
    // follows the size above.
    WideCharToMultiByte(CP_ACP, WC_COMPOSITECHECK | WC_DEFAULTCHAR, s, -1, buffer.get(), nSize,
                        nullptr, nullptr);
    return WritePort(host, buffer.get(), nBytes);
}

void ReportNotEnoughMemory(PortHost& host) {
    MessageBoxW(host.MessageOwner(), TEXT("Not enough memory to print this text."), TEXT("Error"),
                MB_OK);
}

bool SendFormatBlock(PortHost& host, CommandSet set, FormatOptions options) {
    FillFormatBlock(g_pCommandBlock, set, options);
    return WritePort(host, g_pCommandBlock, kCommandBlockSize);
}

void SendTestPage(PortHost& host) {
    const CString strTest = CString(kTestTextHead) + CString(kTestTextTail);
    if (!WritePort(host, kTestPageHeader, sizeof(kTestPageHeader))) {
        return;
    }
    SendText(host, strTest);
}
