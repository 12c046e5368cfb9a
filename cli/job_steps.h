// The steps every host of the jobs outside the form takes (the print command,
// the CUPS backend): a text loaded as the form's "..." loads it, and a job
// run with the process told when it starts and ends.
#pragma once

#include "cli/command_job_host.h"
#include "cli/command_options.h"
#include "platform/entry/command_main.h"

// Fills the host's text from source ("-": standard input). Answers false
// when it could not be read whole; the reason has been told.
bool LoadJobSource(CCommandJobHost& host, const CommandText& source,
                   entry::CommandServices& services);

// Runs one job; answers false when one of its steps failed (each failure
// has shown its message) or a signal stopped it.
bool RunHostedJob(CCommandJobHost& host, bool showProgress, entry::CommandServices& services,
                  void (*job)(PrintJobHost&));
