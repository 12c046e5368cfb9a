#pragma once

#include <memory>
#include <optional>
#include <string>

namespace vprinter {

// The device table: a folder of links named COMn that point to devices.
// $TALLYROLL_DEVICES when set, else ~/.tallyroll/devices.
std::string default_device_table();

// COMn in the device table, pointing to the virtual printer's device, for as
// long as this object lives. `target` is /proc/<pid>/fd/<n>, a path that goes
// with the process (PtyPort::link_path).
//
// An existing COMn is replaced only when it is a leftover: a link to nothing
// (a printer's /proc/<pid>/fd/<n> whose process is gone, a device that is
// unplugged), or a link to this process's own descriptor (left by an earlier
// process that had its number). Anything that leads somewhere is left alone
// and the link fails with a message naming it: a virtual printer that is
// still running, a descriptor another process holds, a real port, a
// pseudo-terminal, a regular file. A link to a printer's address (tcp:...,
// bt:...) is replaced only when it is a loopback address where nothing
// listens (tcp_listener.h).
class DeviceLink {
public:
    static std::unique_ptr<DeviceLink> create(const std::string& table, int port,
                                              const std::string& target, std::string* error,
                                              std::string* replaced);
    // The pid named by a link target of the form /proc/<pid>/fd/<n>.
    static std::optional<long> pid_of_target(const std::string& target);
    // Removes the link, but only while it still points to our device: a
    // newer virtual printer may have taken the port over.
    ~DeviceLink();
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    const std::string& path() const { return path_; }

private:
    DeviceLink(std::string path, std::string target)
        : path_(std::move(path)), target_(std::move(target)) {}

    std::string path_;
    std::string target_;
};

} // namespace vprinter
