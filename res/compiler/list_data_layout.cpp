#include "res/compiler/byte_writer.h"
#include "res/compiler/layouts.h"

#include <stdexcept>

namespace res {

std::vector<std::uint8_t> LayOutListData(const ListDataDefinition& lists) {
    ByteWriter out;
    for (const ControlFill& fill : lists.fills) {
        // A zero id is the end marker, so no record may carry it.
        if (fill.control <= 0 || fill.control > 0xFFFF) {
            throw std::invalid_argument("list data needs a control id from 1 to 65535");
        }
        for (std::u16string_view entry : fill.entries) {
            if (entry.find(u'\0') != std::u16string_view::npos) {
                throw std::invalid_argument("a list entry contains a zero character");
            }
            out.u16(static_cast<WORD>(fill.control));
            out.u16(fill.message);
            out.u32(static_cast<DWORD>((entry.size() + 1) * sizeof(char16_t)));
            out.wideString(entry);
        }
    }
    out.u16(0);
    return out.bytes();
}

} // namespace res
