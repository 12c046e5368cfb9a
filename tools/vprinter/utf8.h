#pragma once

#include "platform/text/utf8.h"

#include <string>

namespace vprinter {

// Code points as the printer's code page decoded them, in UTF-8 for the
// terminal and the event log.
inline std::string to_utf8(const std::u32string& chars) {
    std::string out;
    for (char32_t c : chars) {
        text::AppendUtf8Form(out, c);
    }
    return out;
}

} // namespace vprinter
