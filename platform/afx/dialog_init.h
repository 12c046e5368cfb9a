// A dialog's list data (resource type 240, the dialog's own id), replayed as
// messages to the dialog's controls when the dialog starts. Each record:
//   u16 control id, u16 message, u32 byte length, that many bytes;
// a u16 zero in place of the next control id ends the data. The program's
// records add strings to combo boxes: message 0x0403, a zero-terminated
// UTF-16 string.
#pragma once

#include "platform/win32/resources.h"

#include <cstdint>
#include <span>

// The framework's resource type for list data.
#define RT_DLGINIT MAKEINTRESOURCEW(240)

inline constexpr WORD kDlgInitAddComboString = 0x0403;

// Sends each record to its control in hDlg. Stops at the first record that
// runs past the end of the bytes; answers whether the data was whole.
BOOL AfxReplayDlgInit(HWND hDlg, std::span<const std::uint8_t> data);

// Finds the list data for the template lpszTemplateName and replays it.
// A dialog without list data is whole.
BOOL AfxExecuteDlgInit(HWND hDlg, LPCWSTR lpszTemplateName);
