#pragma once

#include <memory>
#include <string>

namespace vprinter {

// The device table: a folder of links named COMn that point to devices.
// $TALLYROLL_DEVICES when set, else ~/.tallyroll/devices.
std::string default_device_table();

// COMn in the device table, pointing to the virtual printer's device, for as
// long as this object lives. An existing COMn is replaced only when it is a
// leftover: a link to nothing, or to a pseudo-terminal (which some earlier
// virtual printer left behind). Anything else, above all a link to a real
// port or a regular file, is left alone and the link fails.
class DeviceLink {
public:
    static std::unique_ptr<DeviceLink> create(const std::string& table, int port,
                                              const std::string& target, std::string* error,
                                              std::string* replaced);
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
