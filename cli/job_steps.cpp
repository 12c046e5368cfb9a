#include "cli/job_steps.h"

#include "cli/standard_input_text.h"
#include "document/text_file_loader.h"

#include <cstdio>

bool LoadJobSource(CCommandJobHost& host, const CommandText& source,
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

bool RunHostedJob(CCommandJobHost& host, bool showProgress, entry::CommandServices& services,
                  void (*job)(PrintJobHost&)) {
    const unsigned before = services.MessagesShown();
    services.JobStarting(showProgress);
    job(host);
    services.JobEnded();
    return services.MessagesShown() == before && !services.StopRequested();
}
