// The CUPS backend "tallyroll": the process entry of a third host of the
// program's jobs. CUPS runs it with no arguments to list the devices it can
// offer, and with six or seven to print one job:
//   tallyroll job-id user title copies options [file]
// with the queue's device URI in DEVICE_URI. What it tells CUPS goes to
// standard error as CUPS's keyword lines (ERROR:, STATE:, PAGE:), and its exit
// status says what CUPS should do with the job and the queue.
#include "cups/device_uri.h"
#include "cups/discovery.h"
#include "cups/job_device_table.h"
#include "cups/job_options.h"
#include "platform/entry/command_main.h"
#include "platform/entry/console_services.h"
#include "platform/text/path_text.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

namespace {

// CUPS's backend exit codes (cups/backend.h).
constexpr int kBackendOk = 0;
constexpr int kBackendFailed = 1;
constexpr int kBackendStop = 4;
constexpr int kBackendCancel = 5;

void Tell(const std::string& line) {
    std::cerr << line << '\n' << std::flush;
}

const char* Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// A CUPS command file ("#CUPS-COMMAND" then one command a line), sent when
// the user asks for the printer's self-test page. Answers whether it asks
// for one.
bool AsksForTestPage(const char* file) {
    std::ifstream named;
    if (file != nullptr) {
        named.open(file);
    }
    std::istream& in = file != nullptr ? static_cast<std::istream&>(named) : std::cin;
    for (std::string line; std::getline(in, line);) {
        if (line.compare(0, 17, "PrintSelfTestPage") == 0) {
            return true;
        }
    }
    return false;
}

int ExitStatusOf(SpoolerOutcome outcome, const std::string& uri) {
    switch (outcome) {
    case SpoolerOutcome::Printed:
        Tell("STATE: -offline-report");
        return kBackendOk;
    case SpoolerOutcome::NoText:
        // The job can never print; the queue is fine.
        return kBackendCancel;
    case SpoolerOutcome::PortUnavailable:
        // A port that is not there needs a person (a cable, a paired printer,
        // the URI): the queue stops with the reason and keeps the job, and
        // cupsenable starts it again, rather than retrying every half minute.
        Tell("STATE: +offline-report");
        Tell("ERROR: Unable to open the printer at " + uri);
        return kBackendStop;
    case SpoolerOutcome::SendFailed:
        // Part of the job may be on paper: the queue's error policy decides.
        return kBackendFailed;
    case SpoolerOutcome::Stopped:
        // CUPS cancelled the job (SIGTERM): the port has been released.
        return kBackendOk;
    }
    return kBackendFailed;
}

int PrintJob(int argc, char** argv) {
    const std::string uri =
        *Environment("DEVICE_URI") != '\0' ? Environment("DEVICE_URI") : argv[0];
    const auto target = cups_backend::LinkTargetOf(uri);
    if (!target) {
        Tell("ERROR: Not a tallyroll device URI: " + uri +
             " (tallyroll:/dev/PATH, tallyroll://tcp/HOST:PORT, tallyroll://bt/ADDR[/CH])");
        return kBackendStop;
    }
    SpoolerJob job;
    const char* file = argc == 7 ? argv[6] : nullptr;
    if (std::strcmp(Environment("CONTENT_TYPE"), "application/vnd.cups-command") == 0) {
        if (!AsksForTestPage(file)) {
            Tell("INFO: Nothing to do for this command");
            return kBackendOk;
        }
        job.bTestPage = true;
    }
    std::string why;
    cups_backend::ReadJobOptions(argv[5], std::getenv("PPD"), job, why);
    if (!why.empty()) {
        std::cerr << "WARNING: " << why << std::flush;
    }
    // A file of its own is copied here; from standard input the filters did.
    const long copies = std::strtol(argv[4], nullptr, 10);
    job.nCopies = file != nullptr && copies > 1 ? static_cast<int>(std::min(copies, 9999L)) : 1;
    job.source = file != nullptr ? text::PathFromBytes(file) : u"-";

    SpoolerOutcome outcome = SpoolerOutcome::Printed;
    {
        // The signals are taken first, so that a job cancelled from here on
        // still removes its device table.
        entry::ConsoleServices services("ERROR: ");
        const cups_backend::JobDeviceTable table(*target);
        if (!table.ready()) {
            Tell("ERROR: " + table.why());
            return kBackendFailed;
        }
        outcome =
            services.StopRequested() ? SpoolerOutcome::Stopped : TallyrollSpoolerJob(job, services);
    }
    if (outcome == SpoolerOutcome::Printed) {
        Tell("PAGE: 1 " + std::to_string(job.nCopies));
    }
    return ExitStatusOf(outcome, uri);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 1) {
        cups_backend::ListDevices(std::cout);
        return kBackendOk;
    }
    if (argc < 6 || argc > 7) {
        std::cerr << "Usage: " << argv[0] << " job-id user title copies options [file]\n";
        return kBackendFailed;
    }
    return PrintJob(argc, argv);
}
