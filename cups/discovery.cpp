#include "cups/discovery.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace cups_backend {
namespace {

constexpr const char* kMakeAndModel = "Tallyroll serial printer";

// The entries of a folder whose names start with prefix, sorted; none when
// the folder is not there.
std::vector<std::string> NamesIn(const std::string& folder, const std::string& prefix) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return names;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != ".." && name.compare(0, prefix.size(), prefix) == 0) {
            names.push_back(name);
        }
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

// CUPS reads the quoted fields without escapes: a quote would end one early.
std::string Quoted(std::string text) {
    std::replace(text.begin(), text.end(), '"', '\'');
    return '"' + text + '"';
}

void Offer(std::ostream& out, const char* kind, const std::string& uri, const std::string& info) {
    out << kind << ' ' << uri << ' ' << Quoted(kMakeAndModel) << ' ' << Quoted(info)
        << " \"\" \"\"\n";
}

// BlueZ's paired devices that say they are printers: "ADDR NAME" each. The
// tool is asked with a bound on its time, and a machine without it or
// without a Bluetooth service lists none.
std::vector<std::pair<std::string, std::string>> PairedPrinters() {
    std::vector<std::pair<std::string, std::string>> printers;
    const char* command =
        "command -v bluetoothctl >/dev/null 2>&1 || exit 0; "
        "timeout 2 bluetoothctl devices Paired 2>/dev/null | while read -r kind addr name; do "
        "  [ \"$kind\" = Device ] || continue; "
        "  timeout 2 bluetoothctl info \"$addr\" 2>/dev/null | grep -q 'Icon: printer' "
        "    && printf '%s %s\\n' \"$addr\" \"$name\"; "
        "done";
    // A fixed command line: the shell is what bounds each call's time.
    FILE* pipe = ::popen(command, "r"); // NOLINT(cert-env33-c)
    if (pipe == nullptr) {
        return printers;
    }
    char line[512];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        std::string text = line;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
            text.pop_back();
        }
        const auto space = text.find(' ');
        if (space != std::string::npos) {
            printers.emplace_back(text.substr(0, space), text.substr(space + 1));
        }
    }
    (void)::pclose(pipe);
    return printers;
}

} // namespace

void ListDevices(std::ostream& out) {
    // The test suite points this at a folder of its own.
    const char* byId = std::getenv("TALLYROLL_SERIAL_BY_ID");
    const std::string byIdFolder = byId != nullptr && *byId != '\0' ? byId : "/dev/serial/by-id";
    for (const std::string& name : NamesIn(byIdFolder, "")) {
        std::string uri = "tallyroll:";
        uri += byIdFolder;
        uri += '/';
        uri += name;
        Offer(out, "serial", uri, "Tallyroll on " + name);
    }
    for (const std::string& name : NamesIn("/dev", "rfcomm")) {
        Offer(out, "serial", "tallyroll:/dev/" + name, "Tallyroll on Bluetooth " + name);
    }
    if (byId == nullptr) {
        for (const auto& [address, name] : PairedPrinters()) {
            Offer(out, "network", "tallyroll://bt/" + address, "Tallyroll on Bluetooth " + name);
        }
    }
    out.flush();
}

} // namespace cups_backend
