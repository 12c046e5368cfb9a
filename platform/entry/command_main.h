// The program's commands ("tallyroll print", "tallyroll test"), which the
// start-up code runs instead of the form when the first argument names one.
// Declared here, as wWinMain is, and defined by the program: what the
// commands need of the process around them (its signals, its standard
// streams, how its message boxes are shown) comes with the call.
#pragma once

#include "platform/win32/types.h"

#include <string>
#include <string_view>
#include <vector>

namespace entry {

class CommandServices {
public:
    virtual ~CommandServices() = default;

    // A line on standard error after the program's name ("tallyroll: ").
    virtual void Complain(std::basic_string_view<WCHAR> message) = 0;
    // How many message boxes the program has shown so far; each one went to
    // standard error as a line, and each one means a step failed.
    virtual unsigned MessagesShown() const = 0;
    // A signal asked the process to end (Ctrl+C, SIGTERM): start no more
    // work. A write that was waiting on the port has been cancelled.
    virtual bool StopRequested() const = 0;
    // Opens where a job's bytes go instead of a port: a file (created or
    // emptied) or, for "-", standard output. Complains and answers
    // INVALID_HANDLE_VALUE when it cannot.
    virtual HANDLE OpenOutput(const std::basic_string<WCHAR>& name) = 0;
    // A job starts or ends: the progress line, when it is wanted and standard
    // error is a terminal, belongs to one job and is erased at its end.
    virtual void JobStarting(bool showProgress) = 0;
    virtual void JobEnded() = 0;
};

} // namespace entry

// Runs one command; args[0] is its name. Answers the exit status: 0 every
// job done, 1 a job failed, 2 the command was not understood.
int TallyrollCommand(const std::vector<std::basic_string<WCHAR>>& args,
                     entry::CommandServices& services);

// A job handed over by a print spooler (the CUPS backend): the form's
// choices from the spooler's options, the printer always on COM1 of a device
// table made for the job.
struct SpoolerJob {
    int nModel = 0; // index in the printer list, as the form's
    int nWidth = 0; // index in the Width list: 0..3 for x1..x4
    int nHeight = 0;
    bool bUnderline = false;
    bool bDirection = false;
    bool bWhite = false;
    bool bTestPage = false; // the test page instead of a text
    int nCopies = 1;
    std::basic_string<WCHAR> source; // the text's file, or "-" for standard input
};

// How a spooler's job ended, for the spooler to choose what comes next.
enum class SpoolerOutcome {
    Printed,
    NoText,          // the text could not be read: this job can never print
    PortUnavailable, // the port could not be opened or configured
    SendFailed,      // the printer stopped taking the job's bytes
    Stopped,         // a signal (the job cancelled) ended it
};

// Runs the job; every failure has been told through the services first.
SpoolerOutcome TallyrollSpoolerJob(const SpoolerJob& job, entry::CommandServices& services);
