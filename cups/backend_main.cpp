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
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

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

// Whether a line of the job's file (argv[6], else standard input) starts
// with start and holds part.
bool HasLine(const char* file, std::string_view start, std::string_view part) {
    std::ifstream named;
    if (file != nullptr) {
        named.open(file);
    }
    std::istream& in = file != nullptr ? static_cast<std::istream&>(named) : std::cin;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with(start) && line.find(part) != std::string::npos) {
            return true;
        }
    }
    return false;
}

// The two ways a user asks a queue for its test page: a CUPS command file
// ("#CUPS-COMMAND", then PrintSelfTestPage: the "Print Self-Test Page" of
// the printer settings), and CUPS's own test page, a banner file naming the
// test page's template (their "Print Test Page"). Other banners (job
// sheets) are pictures the printer cannot print, and are left out.
enum class Request { Text, TestPage, Nothing };

Request RequestOf(const char* file) {
    const std::string_view type = Environment("CONTENT_TYPE");
    if (type == "application/vnd.cups-command") {
        return HasLine(file, "PrintSelfTestPage", "") ? Request::TestPage : Request::Nothing;
    }
    if (type == "application/vnd.cups-pdf-banner") {
        return HasLine(file, "Template", "testpage") ? Request::TestPage : Request::Nothing;
    }
    return Request::Text;
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
    const Request request = RequestOf(file);
    if (request == Request::Nothing) {
        Tell("INFO: Nothing to print: only text and the test page are printed");
        return kBackendOk;
    }
    job.bTestPage = request == Request::TestPage;
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
        // After CUPS cancelled the job, the failed write it causes goes to
        // the log only, not to the queue's state.
        entry::ConsoleServices services("ERROR: ", "DEBUG: ");
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
