#include "tools/vprinter/device_link.h"

#include "tools/vprinter/tcp_listener.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <string_view>
#include <sys/file.h>
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
bool is_pseudo_terminal(const struct stat& st) {
    return S_ISCHR(st.st_mode) && major(st.st_rdev) >= 136 && major(st.st_rdev) <= 143;
}

// The name the kernel keeps for a process (its first 15 bytes), or nothing
// when the process is gone.
std::optional<std::string> program_name(const std::string& pid) {
    std::ifstream in("/proc/" + pid + "/comm");
    std::string name;
    if (!std::getline(in, name)) {
        return std::nullopt;
    }
    return name;
}

// Process `pid` is a virtual printer other than this one.
bool is_another_printer(long pid) {
    if (pid == ::getpid()) {
        return false; // a link left by an earlier process with our number
    }
    auto theirs = program_name(std::to_string(pid));
    return theirs && theirs == program_name("self");
}

// Holds the device table while a link is checked and made, so that two
// printers starting at once on one port cannot both take it.
class TableLock {
public:
    explicit TableLock(const std::string& table)
        : fd_(::open(table.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (fd_ >= 0) {
            while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }
    ~TableLock() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    TableLock(const TableLock&) = delete;
    TableLock& operator=(const TableLock&) = delete;

private:
    int fd_;
};

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
    TableLock lock(table);
    struct stat own {};
    if (::lstat(path.c_str(), &own) == 0) {
        if (!S_ISLNK(own.st_mode)) {
            *error = path + " exists and is not a link; it is left alone (use another --port)";
            return nullptr;
        }
        std::string old = link_target(path).value_or("");
        struct stat pointed {};
        bool resolves = ::stat(path.c_str(), &pointed) == 0;
        if (std::optional<bool> leftover = socket_link_is_leftover(old)) {
            // An address: a real printer's, or one a live printer listens on.
            if (!*leftover) {
                *error = path + " links to " + old +
                         ", a network or Bluetooth printer; it is left alone (use another --port)";
                return nullptr;
            }
        } else if (std::optional<long> pid = pid_of_target(old); pid && resolves) {
            // A descriptor of a process that still runs: a virtual printer's
            // line, or whatever else somebody linked; both stay. A link that
            // names this very process was left by an earlier one that had
            // our number.
            if (*pid != ::getpid()) {
                char device[4096] = "";
                if (::realpath(path.c_str(), device) == nullptr) {
                    device[0] = '\0';
                }
                const std::string process = std::to_string(*pid);
                if (is_pseudo_terminal(pointed) && is_another_printer(*pid)) {
                    *error = path +
                             " belongs to a virtual printer that is still running (process " +
                             process + ", " + device + "); stop it first or use another --port";
                } else {
                    *error = path + " links to " + old + " (" + device + "), a line that process " +
                             process + " holds; it is left alone (use another --port)";
                }
                return nullptr;
            }
        } else if (resolves) {
            // Only a link to nothing is a leftover; a link that leads to a
            // device (a terminal included) may be somebody's working port.
            *error = path + " links to " + old +
                     ", which is there and not a leftover of a virtual printer; it is left "
                     "alone (use another --port)";
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

std::optional<long> DeviceLink::pid_of_target(const std::string& target) {
    constexpr std::string_view kProc = "/proc/";
    constexpr std::string_view kFd = "/fd/";
    std::string_view rest(target);
    if (!rest.starts_with(kProc)) {
        return std::nullopt;
    }
    rest.remove_prefix(kProc.size());
    auto digits = [](std::string_view text) {
        return !text.empty() && text.size() <= 9 &&
               text.find_first_not_of("0123456789") == std::string_view::npos;
    };
    std::size_t slash = rest.find('/');
    if (slash == std::string_view::npos || !digits(rest.substr(0, slash)) ||
        !rest.substr(slash).starts_with(kFd) || !digits(rest.substr(slash + kFd.size()))) {
        return std::nullopt;
    }
    return std::stol(std::string(rest.substr(0, slash)));
}

DeviceLink::~DeviceLink() {
    if (link_target(path_) == target_) {
        ::unlink(path_.c_str());
    }
}

} // namespace vprinter
