#include "pseudo_terminal.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>
#include <utility>

namespace testing_support {

PseudoTerminal::PseudoTerminal() : master_(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC)) {
    const char* name = nullptr;
    if (master_ == -1 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
        (name = ::ptsname(master_)) == nullptr) {
        const int error = errno;
        if (master_ != -1) {
            ::close(master_);
        }
        throw std::runtime_error(std::string("no pseudo-terminal: ") + std::strerror(error));
    }
    path_ = name;
}

PseudoTerminal::~PseudoTerminal() {
    if (master_ != -1) {
        ::close(master_);
    }
}

PseudoTerminal::PseudoTerminal(PseudoTerminal&& other) noexcept
    : master_(other.master_), path_(std::move(other.path_)) {
    other.master_ = -1;
}

int PseudoTerminal::OpenSlave() const {
    return ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
}

} // namespace testing_support
