// Sleep's pauses are there for a printer: the one after the lead-in gives it
// time to wake. Bytes written to a file instead of a port reach no printer,
// and a process that writes only there may skip them.
#pragma once

namespace kernel32 {

// From now on, Sleep returns at once (skip) or waits as asked.
void SkipPauses(bool skip);

} // namespace kernel32
