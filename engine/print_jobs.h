// The two jobs the user starts from the main form: the work of OnPrint and
// OnTest. Each runs to its end on the calling thread and leaves both job
// buttons enabled, whatever failed.
#pragma once

#include "engine/print_job_host.h"

// Reads the form, opens the port if needed, sends the lead-in, waits 20 ms,
// sends the format block of the chosen model (if any) and the stored text
// with CR LF appended. A text too large for the memory left ends the job
// with "Not enough memory to print this text.", and the text is not sent.
void RunPrintJob(PrintJobHost& host);

// Opens the port if needed, sends the lead-in, waits 20 ms and sends the
// test page. Uses nothing of the form but the COM list.
void RunTestJob(PrintJobHost& host);
