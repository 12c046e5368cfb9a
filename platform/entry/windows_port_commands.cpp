#include "platform/entry/windows_port_commands.h"

#include "platform/entry/windows_console_services.h"

#include <algorithm>
#include <cwctype>
#include <windows.h>

namespace entry {
namespace {

constexpr int kDone = 0;
constexpr int kRefused = 1;
constexpr int kUsageError = 2;

constexpr std::wstring_view kUsage = L"Usage: tallyroll ports\n";

// "COM3" and "COM12", never "COMX" or "COM": what the form and the print
// command can open.
unsigned PortNumber(std::wstring_view name) {
    if (name.size() <= 3 || name.size() > 6 || _wcsnicmp(name.data(), L"COM", 3) != 0) {
        return 0;
    }
    unsigned n = 0;
    for (const wchar_t c : name.substr(3)) {
        if (!std::iswdigit(c)) {
            return 0;
        }
        n = n * 10 + static_cast<unsigned>(c - L'0');
    }
    return n;
}

// Every name the system's device namespace holds, as QueryDosDeviceW lists
// them; the list's size is not known beforehand.
std::vector<std::wstring> DeviceNames() {
    std::vector<wchar_t> buffer(16384);
    for (;;) {
        const DWORD length =
            QueryDosDeviceW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length != 0) {
            std::vector<std::wstring> names;
            for (const wchar_t* at = buffer.data(); *at != L'\0'; at += wcslen(at) + 1) {
                names.emplace_back(at);
            }
            return names;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || buffer.size() >= (1U << 22)) {
            return {};
        }
        buffer.resize(buffer.size() * 2);
    }
}

int ListPorts() {
    const std::vector<SystemPort> ports = SystemPorts();
    if (ports.empty()) {
        WriteStandardOutput(L"No COM port is known to Windows (Device Manager lists the ports).\n");
        return kDone;
    }
    for (const SystemPort& port : ports) {
        std::wstring line = port.name;
        line.resize(std::max<std::size_t>(line.size(), 6), L' ');
        WriteStandardOutput(line + port.device + L"\n");
    }
    return kDone;
}

int Misused(std::wstring_view why) {
    WriteStandardError(L"tallyroll: " + std::wstring(why) + L"\n" + std::wstring(kUsage));
    return kUsageError;
}

} // namespace

std::vector<SystemPort> SystemPorts() {
    std::vector<SystemPort> ports;
    for (const std::wstring& name : DeviceNames()) {
        if (PortNumber(name) == 0) {
            continue;
        }
        wchar_t device[1024] = L"";
        const DWORD length =
            QueryDosDeviceW(name.c_str(), device, static_cast<DWORD>(std::size(device)));
        ports.push_back({name, length != 0 ? std::wstring(device) : std::wstring()});
    }
    std::sort(ports.begin(), ports.end(), [](const SystemPort& a, const SystemPort& b) {
        return PortNumber(a.name) < PortNumber(b.name);
    });
    return ports;
}

int RunPortCommand(const std::vector<std::wstring>& args) {
    const std::wstring& command = args.at(0);
    if (args.size() == 2 && (args[1] == L"--help" || args[1] == L"-h")) {
        WriteStandardOutput(std::wstring(kUsage) +
                            L"Lists the COM ports Windows has, as the form can open them.\n");
        return kDone;
    }
    if (command == L"ports") {
        return args.size() == 1 ? ListPorts() : Misused(L"ports takes no argument");
    }
    // The device table gives COM names to Linux devices; on Windows the
    // system names its ports, and Device Manager changes their numbers.
    WriteStandardError(L"tallyroll: " + command +
                       L": Windows names its COM ports itself; there is no device table to "
                       L"change (Device Manager, Ports (COM & LPT), sets a port's number)\n");
    return kRefused;
}

} // namespace entry
