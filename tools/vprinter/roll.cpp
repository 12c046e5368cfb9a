#include "tools/vprinter/roll.h"

namespace vprinter {

std::u32string Line::text() const {
    std::u32string all;
    for (const Run& run : runs) {
        all += run.text;
    }
    return all;
}

const CharFormat& Line::leading_format() const {
    return runs.empty() ? format : runs.front().format;
}

} // namespace vprinter
