// What the backend offers when CUPS asks with no arguments ("lpinfo -v", the
// add-a-printer dialogs): one line per device it can see, in CUPS's form
//   class URI "make-and-model" "info" "device-id" "location"
// found by listing folders and asking BlueZ for paired devices; no device is
// ever opened to find it.
#pragma once

#include <ostream>

namespace cups_backend {

void ListDevices(std::ostream& out);

} // namespace cups_backend
