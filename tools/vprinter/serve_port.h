#pragma once

#include "tools/vprinter/options.h"

namespace vprinter {

// Runs the virtual printer on a pseudo-terminal linked as COMn until it is
// stopped (SIGINT, SIGTERM, SIGHUP) or, with --once or --idle-exit, until
// the line has gone quiet. Returns the exit status.
int serve_port(const Options& options);

// Decodes a raw byte file or a capture file. Returns the exit status.
int decode_file(const Options& options);

} // namespace vprinter
