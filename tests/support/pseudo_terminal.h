// A bare pseudo-terminal pair for tests that need a terminal to exist and
// nothing more (no reader behind it): its master is held until the object
// goes, and its slave opens by path like any other terminal's.
#pragma once

#include <string>

namespace testing_support {

class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(PseudoTerminal&& other) noexcept;
    PseudoTerminal& operator=(PseudoTerminal&&) = delete;
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    int master() const { return master_; }
    // The slave's device path (/dev/pts/N).
    const std::string& path() const { return path_; }
    // A descriptor of this process on the slave; the caller closes it.
    int OpenSlave() const;

private:
    int master_ = -1;
    std::string path_;
};

} // namespace testing_support
