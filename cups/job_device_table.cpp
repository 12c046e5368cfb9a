#include "cups/job_device_table.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace cups_backend {
namespace {

std::string TemporaryRoot() {
    // CUPS gives each backend its own TMPDIR; a shell run has the system's.
    const char* root = std::getenv("TMPDIR");
    return root != nullptr && *root != '\0' ? root : "/tmp";
}

} // namespace

JobDeviceTable::JobDeviceTable(const std::string& target) {
    std::string pattern = TemporaryRoot() + "/tallyroll-job-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()) == nullptr) {
        why_ = std::string("cannot make the job's device table: ") + std::strerror(errno);
        return;
    }
    folder_ = name.data();
    if (::symlink(target.c_str(), (folder_ + "/COM1").c_str()) == -1) {
        why_ = std::string("cannot link the job's port: ") + std::strerror(errno);
        return;
    }
    ::setenv("TALLYROLL_DEVICES", folder_.c_str(), 1);
    ready_ = true;
}

JobDeviceTable::~JobDeviceTable() {
    if (folder_.empty()) {
        return;
    }
    (void)::unlink((folder_ + "/COM1").c_str());
    (void)::rmdir(folder_.c_str());
}

} // namespace cups_backend
