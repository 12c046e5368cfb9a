#include "platform/entry/command_line.h"

#include "platform/posix/device_table.h"
#include "platform/posix/socket_target.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace entry {
namespace {

constexpr std::string_view kVersion = "tallyroll " TALLYROLL_VERSION "\n";

constexpr std::string_view kUsage = "Usage: tallyroll            show the form in this terminal\n"
                                    "       tallyroll --help     what it does, keys, ports\n"
                                    "       tallyroll --version  its version\n";

constexpr std::string_view kAbout =
    "Tallyroll prints plain text on a small portable printer over a serial port.\n"
    "Type text or load a file with \"...\", pick the printer model, the COM port\n"
    "and a character format, and press Print; Test sends a test page.\n\n";

constexpr std::string_view kKeys =
    "Keys: Tab and Shift+Tab move between controls; Enter prints (in the text box\n"
    "it starts a new line; on a focused button it presses that button); Space\n"
    "presses a button or ticks a box; Up, Down and F4 work the lists; Esc quits.\n"
    "While a job waits for the printer, Esc or Ctrl+C cancels it.\n\n";

// "COM12" sorts after "COM9".
unsigned PortNumber(const std::string& name) {
    unsigned n = 0;
    for (char c : std::string_view(name).substr(3)) {
        n = n * 10 + static_cast<unsigned>(c - '0');
    }
    return n;
}

bool IsPortName(const std::string& name) {
    return name.size() > 3 && name.starts_with("COM") && name.size() <= 6 &&
           std::all_of(name.begin() + 3, name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// What follows a link in the list, when there is something to say.
std::string Remark(const LinkedPort& port) {
    switch (port.kind) {
    case LinkedPort::Kind::Printer:
        return "   (" + port.description + ", reached when a job runs)";
    case LinkedPort::Kind::BadAddress:
        return "   (not a printer address: tcp:HOST:PORT or bt:AA:BB:CC:DD:EE:FF[/CHANNEL])";
    case LinkedPort::Kind::Device:
        break;
    }
    return port.present ? "" : "   (missing: nothing there now)";
}

} // namespace

std::vector<LinkedPort> LinkedPorts(const std::string& folder) {
    namespace fs = std::filesystem;
    std::vector<LinkedPort> ports;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (!IsPortName(name)) {
            continue;
        }
        LinkedPort port;
        port.name = name;
        std::error_code linkError;
        if (entry.is_symlink(linkError)) {
            port.target = fs::read_symlink(entry.path(), linkError).string();
        } else {
            port.target = entry.path().string();
        }
        posix_layer::SocketTarget address;
        switch (posix_layer::ParseLinkTarget(port.target, address)) {
        case posix_layer::TargetKind::Socket:
            port.kind = LinkedPort::Kind::Printer;
            port.description = posix_layer::DescribeTarget(address);
            break;
        case posix_layer::TargetKind::Malformed:
            port.kind = LinkedPort::Kind::BadAddress;
            break;
        case posix_layer::TargetKind::Device:
            port.present = fs::exists(entry.path(), linkError); // stat, never open
            break;
        }
        ports.push_back(std::move(port));
    }
    std::sort(ports.begin(), ports.end(), [](const LinkedPort& a, const LinkedPort& b) {
        return PortNumber(a.name) < PortNumber(b.name);
    });
    return ports;
}

std::string HelpText(const std::string& folder) {
    std::string text;
    text += kUsage;
    text += "\n";
    text += kAbout;
    text += kKeys;
    text += "Ports: \"COMn:\" is a link in the device table " + folder + "\n";
    text += "(TALLYROLL_DEVICES names another folder). The form lists COM1 to COM9.\n";
    const std::vector<LinkedPort> ports = LinkedPorts(folder);
    if (ports.empty()) {
        text += "  no port is linked there yet\n";
    }
    for (const LinkedPort& port : ports) {
        text += "  " + port.name + " -> " + port.target + Remark(port) + "\n";
    }
    text += "\nLink a port, for example a USB serial adapter as COM3, a paired Bluetooth\n";
    text += "printer (RFCOMM channel 1, or add /N) as COM4, a network printer as COM5:\n";
    text += "  mkdir -p " + folder + "\n";
    text += "  ln -sf /dev/ttyUSB0 " + folder + "/COM3\n";
    text += "  ln -sf bt:00:11:22:33:44:55 " + folder + "/COM4\n";
    text += "  ln -sf tcp:192.168.1.50:9100 " + folder + "/COM5\n";
    return text;
}

std::optional<int> AnswerArguments(int argc, const char* const* argv) {
    if (argc <= 1) {
        return std::nullopt;
    }
    const std::string_view first = argv[1] != nullptr ? argv[1] : "";
    if (argc == 2 && (first == "--help" || first == "-h")) {
        const std::string help = HelpText(posix_layer::DeviceFolder());
        (void)std::fwrite(help.data(), 1, help.size(), stdout);
        return 0;
    }
    if (argc == 2 && first == "--version") {
        (void)std::fwrite(kVersion.data(), 1, kVersion.size(), stdout);
        return 0;
    }
    (void)std::fprintf(stderr, "tallyroll: unexpected argument \"%.*s\"\n",
                       static_cast<int>(first.size()), first.data());
    (void)std::fwrite(kUsage.data(), 1, kUsage.size(), stderr);
    return 2;
}

} // namespace entry
