// The command line as a second host of the form's jobs: the same engine
// makes every byte and the same link sends them, so a command prints what
// the form prints.
#include "platform/entry/command_main.h"

#include "cli/command_help.h"
#include "cli/command_job_host.h"
#include "cli/command_options.h"
#include "cli/job_steps.h"
#include "engine/print_jobs.h"
#include "link/port_connection.h"

#include <cstdio>

namespace {

constexpr int kAllDone = 0;
constexpr int kJobFailed = 1;
constexpr int kUsageError = 2;

void WriteTo(std::FILE* stream, std::string_view text) {
    (void)std::fwrite(text.data(), 1, text.size(), stream);
    (void)std::fflush(stream);
}

// The port, or the output in its place: a handle the link takes as its open
// connection, so the jobs write there without opening a port.
bool UseOutput(CCommandJobHost& host, const PrintChoices& choices,
               entry::CommandServices& services) {
    if (!choices.output) {
        return true;
    }
    HANDLE output = services.OpenOutput(*choices.output);
    if (output == INVALID_HANDLE_VALUE) {
        return false;
    }
    host.PortHandle() = output;
    g_bPortOpen = 1;
    return true;
}

int RunJobs(const ParsedCommand& command, entry::CommandServices& services) {
    const PrintChoices& choices = command.choices;
    CCommandJobHost host(choices);
    if (!UseOutput(host, choices, services)) {
        return kJobFailed;
    }
    int status = kAllDone;
    if (command.kind == CommandKind::Test) {
        if (!RunHostedJob(host, !choices.bQuiet, services, RunTestJob)) {
            status = kJobFailed;
        }
    } else {
        std::vector<CommandText> sources = choices.files;
        if (sources.empty()) {
            sources.emplace_back(TEXT("-"));
        }
        for (const CommandText& source : sources) {
            if (services.StopRequested() || !LoadJobSource(host, source, services) ||
                services.StopRequested() ||
                !RunHostedJob(host, !choices.bQuiet, services, RunPrintJob)) {
                status = kJobFailed;
                break;
            }
        }
    }
    // The port is released before the process ends, however it ends.
    ClosePort(host);
    return status;
}

} // namespace

int TallyrollCommand(const std::vector<std::basic_string<WCHAR>>& args,
                     entry::CommandServices& services) {
    const ParsedCommand command = ParseCommand(args);
    if (command.error) {
        services.Complain(*command.error);
        WriteTo(stderr, CommandUsage(command.kind));
        return kUsageError;
    }
    if (command.bHelp) {
        WriteTo(stdout, CommandHelp(command.kind));
        return kAllDone;
    }
    return RunJobs(command, services);
}
