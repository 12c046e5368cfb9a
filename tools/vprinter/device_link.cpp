#include "tools/vprinter/device_link.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace vprinter {

namespace {

std::optional<std::string> link_target(const std::string& path) {
    char buffer[4096];
    ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer - 1);
    if (n < 0) {
        return std::nullopt;
    }
    return std::string(buffer, static_cast<std::size_t>(n));
}

// Creates every missing folder of `path`, like mkdir -p.
bool make_folders(const std::string& path, std::string* error) {
    std::string partial;
    std::size_t at = 0;
    while (at <= path.size()) {
        std::size_t next = path.find('/', at);
        if (next == std::string::npos) {
            next = path.size();
        }
        partial = path.substr(0, next);
        at = next + 1;
        if (partial.empty()) {
            continue;
        }
        if (::mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST) {
            *error = partial + ": " + std::strerror(errno);
            return false;
        }
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        *error = path + ": not a folder";
        return false;
    }
    return true;
}

// Pseudo-terminal slaves are character devices with majors 136..143.
bool is_pseudo_terminal(const std::string& path, const struct stat& st) {
    if (S_ISCHR(st.st_mode) && major(st.st_rdev) >= 136 && major(st.st_rdev) <= 143) {
        return true;
    }
    return path.rfind("/dev/pts/", 0) == 0;
}

} // namespace

std::string default_device_table() {
    if (const char* table = std::getenv("TALLYROLL_DEVICES"); table != nullptr && *table != '\0') {
        return table;
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : ".") + "/.tallyroll/devices";
}

std::unique_ptr<DeviceLink> DeviceLink::create(const std::string& table, int port,
                                               const std::string& target, std::string* error,
                                               std::string* replaced) {
    if (!make_folders(table, error)) {
        return nullptr;
    }
    std::string path = table + "/COM" + std::to_string(port);
    struct stat own {};
    if (::lstat(path.c_str(), &own) == 0) {
        if (!S_ISLNK(own.st_mode)) {
            *error = path + " exists and is not a link; it is left alone (use another --port)";
            return nullptr;
        }
        std::string old = link_target(path).value_or("");
        struct stat pointed {};
        bool dangling = ::stat(path.c_str(), &pointed) != 0;
        if (!dangling && !is_pseudo_terminal(old, pointed)) {
            *error = path + " links to " + old +
                     ", which is not a pseudo-terminal; it is left alone (use another --port)";
            return nullptr;
        }
        *replaced = old;
    } else if (errno != ENOENT) {
        *error = path + ": " + std::strerror(errno);
        return nullptr;
    }
    // Link under a private name, then rename over: COMn never goes missing
    // or half-made for a program that opens it meanwhile.
    std::string temporary =
        table + "/.COM" + std::to_string(port) + ".link." + std::to_string(::getpid());
    ::unlink(temporary.c_str());
    if (::symlink(target.c_str(), temporary.c_str()) != 0) {
        *error = temporary + ": " + std::strerror(errno);
        return nullptr;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        *error = path + ": " + std::strerror(errno);
        ::unlink(temporary.c_str());
        return nullptr;
    }
    return std::unique_ptr<DeviceLink>(new DeviceLink(path, target));
}

DeviceLink::~DeviceLink() {
    if (link_target(path_) == target_) {
        ::unlink(path_.c_str());
    }
}

} // namespace vprinter
