#include "platform/windows/resources/dialog_init.h"

#include "platform/windows/resources/byte_reader.h"

namespace windows {

ReadResult<std::vector<DialogInitRecord>> ReadDialogInit(std::span<const std::uint8_t> bytes) {
    ByteReader r(bytes);
    std::vector<DialogInitRecord> records;
    for (;;) {
        const std::string which = "record " + std::to_string(records.size() + 1) + ": ";
        DialogInitRecord rec;
        if (!r.u16(rec.controlId)) {
            return ReadError{"list data has no end marker", r.offset()};
        }
        if (rec.controlId == 0) {
            return records;
        }
        DWORD length = 0;
        if (!r.u16(rec.message) || !r.u32(length)) {
            return ReadError{which + "truncated header", r.offset()};
        }
        std::span<const std::uint8_t> data;
        if (!r.bytes(length, data)) {
            return ReadError{which + "length " + std::to_string(length) + " runs past the end",
                             r.offset()};
        }
        rec.data.assign(data.begin(), data.end());
        if (rec.message == kInitAddString) {
            if (length % 2 != 0) {
                return ReadError{which + "odd length for a UTF-16 string", r.offset()};
            }
            bool terminated = false;
            for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
                const auto c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
                if (c == 0) {
                    terminated = true;
                    break;
                }
                rec.text += c;
            }
            if (!terminated) {
                return ReadError{which + "string is not zero-terminated", r.offset()};
            }
        }
        records.push_back(std::move(rec));
    }
}

} // namespace windows
