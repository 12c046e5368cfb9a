// A device table of the backend's own for one job: a private folder holding
// the one link COM1 -> the URI's target, with TALLYROLL_DEVICES pointed at
// it, so that the printer is opened by the same port code as the form's, with
// the same settings, pause and errors. Removed when the job ends.
#pragma once

#include <string>

namespace cups_backend {

class JobDeviceTable {
public:
    explicit JobDeviceTable(const std::string& target);
    ~JobDeviceTable();
    JobDeviceTable(const JobDeviceTable&) = delete;
    JobDeviceTable& operator=(const JobDeviceTable&) = delete;

    // Empty when the folder or the link could not be made; then why() says.
    bool ready() const { return ready_; }
    const std::string& why() const { return why_; }

private:
    std::string folder_;
    bool ready_ = false;
    std::string why_;
};

} // namespace cups_backend
