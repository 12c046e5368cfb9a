// A print spooler as the third host of the jobs: each job it hands over is
// one text (or the test page), printed as the print command prints it.
#include "cli/command_job_host.h"
#include "cli/job_steps.h"
#include "engine/print_jobs.h"
#include "link/port_connection.h"
#include "platform/entry/command_main.h"

namespace {

constexpr int kSpoolerPort = 1;

PrintChoices ChoicesOf(const SpoolerJob& job) {
    PrintChoices choices;
    choices.nPort = kSpoolerPort;
    choices.nModel = job.nModel;
    choices.nWidth = job.nWidth;
    choices.nHeight = job.nHeight;
    choices.bUnderline = job.bUnderline;
    choices.bDirection = job.bDirection;
    choices.bWhite = job.bWhite;
    return choices;
}

SpoolerOutcome Print(CCommandJobHost& host, const SpoolerJob& job,
                     entry::CommandServices& services) {
    if (!job.bTestPage && !LoadJobSource(host, job.source, services)) {
        return services.StopRequested() ? SpoolerOutcome::Stopped : SpoolerOutcome::NoText;
    }
    // Opened before the job, which then finds it open, so that a port that
    // is not there is told apart from a printer that stops taking bytes.
    if (!OpenPort(host, kSpoolerPort)) {
        return SpoolerOutcome::PortUnavailable;
    }
    // The print job ends the stored text with CR LF, as the form's Print
    // ends the text it reads from the box: each copy starts from the text
    // as loaded, as each Print starts from the box.
    const CString text = host.StoredText();
    for (int copy = 0; copy < job.nCopies; ++copy) {
        host.StoredText() = text;
        if (!RunHostedJob(host, false, services, job.bTestPage ? RunTestJob : RunPrintJob)) {
            return services.StopRequested() ? SpoolerOutcome::Stopped : SpoolerOutcome::SendFailed;
        }
    }
    return SpoolerOutcome::Printed;
}

} // namespace

SpoolerOutcome TallyrollSpoolerJob(const SpoolerJob& job, entry::CommandServices& services) {
    CCommandJobHost host(ChoicesOf(job));
    const SpoolerOutcome outcome = Print(host, job, services);
    // The port is released before the spooler hears the outcome.
    ClosePort(host);
    return outcome;
}
