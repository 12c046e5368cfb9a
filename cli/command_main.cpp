// The command line as a second host of the form's jobs: the same engine
// makes every byte and the same link sends them, so a command prints what
// the form prints.
#include "platform/entry/command_main.h"

#include "cli/command_help.h"
#include "cli/command_job_host.h"
#include "cli/command_options.h"
#include "cli/standard_input_text.h"
#include "document/text_file_loader.h"
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

// Fills the host's text from source ("-": standard input). Answers false
// when it could not be read whole; the reason has been told.
bool LoadSource(CCommandJobHost& host, const CommandText& source,
                entry::CommandServices& services) {
    if (source == TEXT("-")) {
        if (!ReadStandardInputText(stdin, host.StoredText())) {
            // A signal cuts the read short: the signal, not the read, is the news.
            if (!services.StopRequested()) {
                services.Complain(TEXT("Could not read standard input!"));
            }
            return false;
        }
        return true;
    }
    const unsigned before = services.MessagesShown();
    LoadTextFile(host, CString(source.c_str()));
    return services.MessagesShown() == before;
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

// Runs one job; answers false when one of its steps failed (each failure
// has shown its message).
template <typename Job>
bool RunJob(CCommandJobHost& host, const PrintChoices& choices, entry::CommandServices& services,
            Job job) {
    const unsigned before = services.MessagesShown();
    services.JobStarting(!choices.bQuiet);
    job(host);
    services.JobEnded();
    return services.MessagesShown() == before && !services.StopRequested();
}

int RunJobs(const ParsedCommand& command, entry::CommandServices& services) {
    const PrintChoices& choices = command.choices;
    CCommandJobHost host(choices);
    if (!UseOutput(host, choices, services)) {
        return kJobFailed;
    }
    int status = kAllDone;
    if (command.kind == CommandKind::Test) {
        if (!RunJob(host, choices, services, RunTestJob)) {
            status = kJobFailed;
        }
    } else {
        std::vector<CommandText> sources = choices.files;
        if (sources.empty()) {
            sources.emplace_back(TEXT("-"));
        }
        for (const CommandText& source : sources) {
            if (services.StopRequested() || !LoadSource(host, source, services) ||
                services.StopRequested() || !RunJob(host, choices, services, RunPrintJob)) {
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
