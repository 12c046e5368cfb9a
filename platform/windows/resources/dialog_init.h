// The list data of a dialog (resource type 240): records that the framework
// replays as messages to the dialog's controls when the dialog starts.
//   u16 control id, u16 message, u32 byte length, that many bytes
// repeated, ended by a u16 zero in the place of the next control id. The
// bytes of the add-string messages are a zero-terminated UTF-16 string.
#pragma once

#include "platform/win32/types.h"
#include "platform/windows/resources/read_result.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace windows {

// The message that list data uses to add a string to a combo box.
inline constexpr WORD kInitAddString = 0x0403;

struct DialogInitRecord {
    WORD controlId = 0;
    WORD message = 0;
    std::vector<BYTE> data;
    // data read as a zero-terminated UTF-16 string (without the terminator).
    std::u16string text;
};

ReadResult<std::vector<DialogInitRecord>> ReadDialogInit(std::span<const std::uint8_t> bytes);

} // namespace windows
