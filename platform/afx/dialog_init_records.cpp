// Reading list data, apart from replaying it, so that a reader of resources
// can take it without the window calls that the replay makes.
#include "platform/afx/dialog_init.h"

namespace {

std::uint32_t Read(std::span<const std::uint8_t> bytes, std::size_t at, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i) {
        value |= static_cast<std::uint32_t>(bytes[at + i]) << (8 * i);
    }
    return value;
}

} // namespace

BOOL AfxReadDlgInit(std::span<const std::uint8_t> data, std::vector<AFX_DLGINIT_RECORD>* records) {
    std::size_t at = 0;
    for (;;) {
        if (at + 2 > data.size()) {
            return FALSE; // no end marker
        }
        const auto controlId = static_cast<WORD>(Read(data, at, 2));
        if (controlId == 0) {
            return TRUE;
        }
        if (at + 8 > data.size()) {
            return FALSE;
        }
        const auto message = static_cast<WORD>(Read(data, at + 2, 2));
        const std::uint32_t length = Read(data, at + 4, 4);
        at += 8;
        if (length > data.size() - at) {
            return FALSE;
        }
        records->push_back({controlId, message, data.subspan(at, length)});
        at += length;
    }
}

std::basic_string<WCHAR> AfxDlgInitString(std::span<const std::uint8_t> data) {
    std::basic_string<WCHAR> text;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
        const auto ch = static_cast<WCHAR>(Read(data, i, 2));
        if (ch == 0) {
            break;
        }
        text += ch;
    }
    return text;
}
