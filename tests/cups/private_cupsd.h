// A CUPS scheduler of the test's own, as CUPS's test suite runs one: its
// configuration, spool, state and logs in a temporary folder, listening on a
// free loopback port, with our backend and PPD in its folders beside the
// system's filters and backends. The machine's CUPS is never touched.
#pragma once

#include "tests/support/shell_command.h"
#include "tests/support/temp_folder.h"

#include <string>
#include <sys/types.h>

namespace cups_test {

// Whether this machine has a scheduler to start.
bool SchedulerInstalled();

class PrivateCupsd {
public:
    // extraDirectives are added to its cups-files.conf ("SetEnv NAME VALUE").
    explicit PrivateCupsd(const std::string& extraDirectives = "");
    ~PrivateCupsd();
    PrivateCupsd(const PrivateCupsd&) = delete;
    PrivateCupsd& operator=(const PrivateCupsd&) = delete;

    // False when it did not come up; log() then says why.
    bool running() const { return running_; }
    // "localhost:PORT", for a client's -h.
    std::string server() const;
    int port() const { return port_; }
    std::string log() const;

    // Runs a CUPS client against this scheduler: "lpadmin -p ...",
    // "lp -d ..."; its standard error is kept with its output.
    testing_support::CommandOutcome Client(const std::string& command) const;

    // Adds an enabled queue with our PPD.
    bool AddQueue(const std::string& name, const std::string& uri) const;
    // The job's id ("Receipt-3") of a file printed with these lp options.
    std::string Print(const std::string& queue, const std::string& file,
                      const std::string& options = "") const;
    // Waits (bounded) until the queue has no job left; false when it still has.
    bool WaitQueueEmpty(const std::string& queue) const;
    // Waits (bounded) until the queue is stopped; false when it is not.
    bool WaitQueueStopped(const std::string& queue) const;
    // "lpstat -l -p": the queue's state and its message.
    std::string QueueState(const std::string& queue) const;

private:
    testing_support::TempFolder root_{"tallyroll-cupsd"};
    int port_ = 0;
    pid_t pid_ = -1;
    bool running_ = false;
};

} // namespace cups_test
