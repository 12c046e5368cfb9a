#include "platform/kernel32/device_table.h"

#include "platform/text/fold_case.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace kernel32 {

namespace {

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        return home;
    }
    if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr) {
        return pw->pw_dir;
    }
    return ".";
}

} // namespace

std::optional<std::string> PortLinkName(std::u16string_view name) {
    // Win32 also reaches ports through the device namespace.
    constexpr std::u16string_view kDevicePrefix = u"\\\\.\\";
    if (name.starts_with(kDevicePrefix)) {
        name.remove_prefix(kDevicePrefix.size());
    }
    if (name.ends_with(u':')) {
        name.remove_suffix(1);
    }
    if (name.size() < 4 || text::CompareFolded(name.substr(0, 3), u"com") != 0) {
        return std::nullopt;
    }
    std::string link = "COM";
    for (char16_t c : name.substr(3)) {
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        link += static_cast<char>(c);
    }
    return link;
}

std::string DeviceFolder() {
    if (const char* folder = std::getenv("TALLYROLL_DEVICES");
        folder != nullptr && *folder != '\0') {
        return folder;
    }
    return HomeFolder() + "/.tallyroll/devices";
}

} // namespace kernel32
