// The form's choices for a CUPS job: the job's options (argv[5], read by
// libcups), over the defaults of the queue's PPD (the form's own unless the
// administrator changed them with lpadmin -o).
#pragma once

#include "platform/entry/command_main.h"

#include <string>

namespace cups_backend {

// Fills the job's choices; a value it does not know leaves the default and
// is told in why (one line each).
void ReadJobOptions(const char* options, const char* ppdPath, SpoolerJob& job, std::string& why);

} // namespace cups_backend
