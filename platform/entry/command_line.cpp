#include "platform/entry/command_line.h"

#include "platform/entry/shown_text.h"
#include "platform/kernel32/device_table.h"
#include "platform/kernel32/socket_target.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace entry {
namespace {

constexpr std::string_view kVersion = "tallyroll " TALLYROLL_VERSION "\n";

constexpr std::string_view kUsage =
    "Usage: tallyroll            show the form in this terminal\n"
    "       tallyroll --help     what it does, keys, ports\n"
    "       tallyroll --version  its version\n"
    "       tallyroll print [OPTIONS] [FILE...]   print files or standard input\n"
    "       tallyroll test | ports | link COMn TARGET | unlink COMn\n"
    "                            (each with --help; see man tallyroll)\n";

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
    case LinkedPort::Kind::Loop:
        return "   (a loop: the links lead back to themselves and never reach a device)";
    case LinkedPort::Kind::Device:
        break;
    }
    return port.present ? "" : "   (missing: nothing there now)";
}

// Writes an answer to standard output. Output that cannot be written (a
// full disk, a closed descriptor, a reader that went away) fails the
// program, as it does for the tools of the system: a script must not take
// a lost answer for one given.
int Answer(std::string_view text) {
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    const bool flushed = std::fflush(stdout) == 0;
    if (written && flushed && std::ferror(stdout) == 0) {
        return 0;
    }
    const int error = errno;
    (void)std::fprintf(stderr, "tallyroll: cannot write the answer: %s\n",
                       std::strerror(error != 0 ? error : EIO));
    return 1;
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
        kernel32::SocketTarget address;
        switch (kernel32::ParseLinkTarget(port.target, address)) {
        case kernel32::TargetKind::Socket:
            port.kind = LinkedPort::Kind::Printer;
            port.description = kernel32::DescribeTarget(address);
            break;
        case kernel32::TargetKind::Malformed:
            port.kind = LinkedPort::Kind::BadAddress;
            break;
        case kernel32::TargetKind::Device:
            port.present = fs::exists(entry.path(), linkError); // stat, never open
            if (linkError.value() == ELOOP) {
                port.kind = LinkedPort::Kind::Loop;
            }
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
    namespace fs = std::filesystem;
    std::string text;
    text += kUsage;
    text += "\n";
    text += kAbout;
    text += kKeys;
    const std::string shownFolder = ShownText(folder);
    text += "Ports: \"COMn:\" is a link in the device table " + shownFolder + "\n";
    text += "(TALLYROLL_DEVICES names another folder). The form lists COM1 to COM9.\n";
    const std::vector<LinkedPort> ports = LinkedPorts(folder);
    std::error_code error;
    if (fs::exists(folder, error) && !fs::is_directory(folder, error)) {
        text += "  that is not a folder: no port can be opened until it is one\n";
    } else if (ports.empty()) {
        text += "  no port is linked there yet\n";
    }
    for (const LinkedPort& port : ports) {
        text += "  " + port.name + " -> " + ShownText(port.target) + Remark(port) + "\n";
    }
    text += "\nLink a port, for example a USB serial adapter as COM3 (by its stable name\n";
    text += "under /dev/serial/by-id, which stays the same whichever socket it is in), a\n";
    text += "paired Bluetooth printer (RFCOMM channel 1, or add /N) as COM4, a network\n";
    text += "printer as COM5:\n";
    text += "  mkdir -p " + shownFolder + "\n";
    text += "  ln -sf /dev/serial/by-id/usb-... " + shownFolder + "/COM3\n";
    text += "  ln -sf bt:00:11:22:33:44:55 " + shownFolder + "/COM4\n";
    text += "  ln -sf tcp:192.168.1.50:9100 " + shownFolder + "/COM5\n";
    return text;
}

std::optional<int> AnswerArguments(int argc, const char* const* argv) {
    if (argc <= 1) {
        return std::nullopt;
    }
    const std::string_view first = argv[1] != nullptr ? argv[1] : "";
    const bool help = first == "--help" || first == "-h";
    if (argc == 2 && help) {
        return Answer(HelpText(kernel32::DeviceFolder()));
    }
    if (argc == 2 && first == "--version") {
        return Answer(kVersion);
    }
    // After a known option, the argument that follows it is the wrong one.
    const bool known = help || first == "--version";
    const char* wrong = known ? argv[2] : argv[1];
    (void)std::fprintf(stderr, "tallyroll: unexpected argument \"%s\"\n",
                       ShownText(wrong != nullptr ? wrong : "").c_str());
    (void)std::fwrite(kUsage.data(), 1, kUsage.size(), stderr);
    return 2;
}

} // namespace entry
