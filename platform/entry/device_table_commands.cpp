#include "platform/entry/device_table_commands.h"

#include "platform/entry/command_line.h"
#include "platform/entry/shown_text.h"
#include "platform/kernel32/refused_terminal.h"
#include "platform/kernel32/socket_target.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <system_error>

namespace entry {
namespace {

namespace fs = std::filesystem;

constexpr int kDone = 0;
constexpr int kRefused = 1;
constexpr int kUsageError = 2;

constexpr std::string_view kUsage = "Usage: tallyroll ports\n"
                                    "       tallyroll link COMn TARGET\n"
                                    "       tallyroll unlink COMn\n"
                                    "TARGET: a device (/dev/ttyUSB0), tcp:HOST:PORT or "
                                    "bt:AA:BB:CC:DD:EE:FF[/CHANNEL]\n";

void Say(std::FILE* stream, const std::string& text) {
    (void)std::fwrite(text.data(), 1, text.size(), stream);
}

// Arguments and link targets reach these messages as the user gave them;
// they are shown escaped, as --help shows them.
int Refuse(const std::string& why) {
    Say(stderr, "tallyroll: " + ShownText(why) + "\n");
    return kRefused;
}

int Misused(const std::string& why) {
    Say(stderr, "tallyroll: " + ShownText(why) + "\n");
    Say(stderr, std::string(kUsage));
    return kUsageError;
}

// "COM3", "com3", "COM3:" or "3" to "COM3"; the form offers COM1 to COM9.
std::optional<std::string> PortName(std::string name) {
    if (name.size() > 3 && (name.compare(0, 3, "COM") == 0 || name.compare(0, 3, "com") == 0)) {
        name.erase(0, 3);
        if (!name.empty() && name.back() == ':') {
            name.pop_back();
        }
    }
    if (name.size() != 1 || name[0] < '1' || name[0] > '9') {
        return std::nullopt;
    }
    return "COM" + name;
}

std::string KindOf(const LinkedPort& port) {
    switch (port.kind) {
    case LinkedPort::Kind::Printer:
        return port.description;
    case LinkedPort::Kind::BadAddress:
        return "not a printer address";
    case LinkedPort::Kind::Loop:
        return "a loop of links";
    case LinkedPort::Kind::Device:
        break;
    }
    return "device";
}

std::string StateOf(const LinkedPort& port) {
    switch (port.kind) {
    case LinkedPort::Kind::Printer:
        return "reached when a job runs";
    case LinkedPort::Kind::BadAddress:
    case LinkedPort::Kind::Loop:
        return "unusable";
    case LinkedPort::Kind::Device:
        break;
    }
    return port.present ? "present" : "missing";
}

int ListPorts(const std::string& folder) {
    const std::vector<LinkedPort> ports = LinkedPorts(folder);
    if (ports.empty()) {
        Say(stdout,
            "No port is linked in " + ShownText(folder) + " (tallyroll link COMn TARGET).\n");
        return kDone;
    }
    for (const LinkedPort& port : ports) {
        char line[64];
        (void)std::snprintf(line, sizeof line, "%-6s", port.name.c_str());
        Say(stdout, std::string(line) + ShownText(port.target) + "  (" + KindOf(port) + ", " +
                        StateOf(port) + ")\n");
    }
    return kDone;
}

// A device path is kept absolute, so that the link means the same from the
// table's folder. Terminals the program would never print to are refused
// here too, looked at with stat alone: a device is never opened.
std::optional<std::string> CheckedTarget(const std::string& target, std::string& why) {
    kernel32::SocketTarget address;
    switch (kernel32::ParseLinkTarget(target, address)) {
    case kernel32::TargetKind::Socket:
        return target;
    case kernel32::TargetKind::Malformed:
        why = "\"" + target + "\" is not a printer address: tcp:HOST:PORT or " +
              "bt:AA:BB:CC:DD:EE:FF[/CHANNEL]";
        return std::nullopt;
    case kernel32::TargetKind::Device:
        break;
    }
    if (target.empty()) {
        why = "the target is empty";
        return std::nullopt;
    }
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        if (kernel32::IsRefusedTerminal(st)) {
            why = target + " is a terminal of this session, never a printer";
            return std::nullopt;
        }
        if (S_ISDIR(st.st_mode)) {
            why = target + " is a folder, not a device";
            return std::nullopt;
        }
    }
    std::error_code error;
    const fs::path absolute = fs::absolute(target, error);
    return error ? target : absolute.string();
}

int LinkPort(const std::string& folder, const std::string& port, const std::string& target) {
    const auto name = PortName(port);
    if (!name) {
        return Refuse("\"" + port + "\" is not a port the program offers: COM1 to COM9");
    }
    std::string why;
    const auto checked = CheckedTarget(target, why);
    if (!checked) {
        return Refuse(why);
    }
    std::error_code error;
    const fs::path link = fs::path(folder) / *name;
    const fs::file_status existing = fs::symlink_status(link, error);
    if (fs::exists(existing) && !fs::is_symlink(existing)) {
        return Refuse(link.string() + " is not a link; it is left as it is");
    }
    fs::create_directories(folder, error);
    if (error) {
        return Refuse("cannot make the device table " + folder + ": " + error.message());
    }
    // Made beside the old link and renamed over it, so the port is never
    // briefly missing for a job that starts meanwhile.
    const fs::path fresh = fs::path(folder) / ("." + *name + ".new");
    fs::remove(fresh, error);
    fs::create_symlink(*checked, fresh, error);
    if (!error) {
        fs::rename(fresh, link, error);
    }
    if (error) {
        fs::remove(fresh, error);
        return Refuse("cannot link " + *name + ": " + error.message());
    }
    std::string note;
    kernel32::SocketTarget address;
    if (kernel32::ParseLinkTarget(*checked, address) == kernel32::TargetKind::Device &&
        !fs::exists(*checked, error)) {
        note = " (nothing there now)";
    }
    Say(stdout, *name + " -> " + *checked + note + "\n");
    return kDone;
}

int UnlinkPort(const std::string& folder, const std::string& port) {
    const auto name = PortName(port);
    if (!name) {
        return Refuse("\"" + port + "\" is not a port the program offers: COM1 to COM9");
    }
    std::error_code error;
    const fs::path link = fs::path(folder) / *name;
    const fs::file_status existing = fs::symlink_status(link, error);
    if (!fs::exists(existing)) {
        return Refuse(*name + " is not linked in " + folder);
    }
    if (!fs::is_symlink(existing)) {
        return Refuse(link.string() + " is not a link; it is left as it is");
    }
    if (!fs::remove(link, error) || error) {
        return Refuse("cannot unlink " + *name + ": " + error.message());
    }
    return kDone;
}

} // namespace

int RunDeviceTableCommand(const std::vector<std::string>& args, const std::string& folder) {
    const std::string& command = args.at(0);
    const bool help = args.size() == 2 && (args[1] == "--help" || args[1] == "-h");
    if (help) {
        Say(stdout, std::string(kUsage) + "The device table is " + folder +
                        " ($TALLYROLL_DEVICES names another).\n");
        return kDone;
    }
    if (command == "ports") {
        return args.size() == 1 ? ListPorts(folder) : Misused("ports takes no argument");
    }
    if (command == "link") {
        return args.size() == 3 ? LinkPort(folder, args[1], args[2])
                                : Misused("link takes a port and a target");
    }
    return args.size() == 2 ? UnlinkPort(folder, args[1]) : Misused("unlink takes a port");
}

} // namespace entry
