// A dialog's list data (resource type RT_DLGINIT, the dialog's own id),
// replayed as messages to the dialog's controls when the dialog starts. Each
// record:
//   u16 control id, u16 message, u32 byte length, that many bytes;
// a u16 zero in place of the next control id ends the data. The program's
// records add strings to combo boxes: message WIN16_CB_ADDSTRING, a
// zero-terminated UTF-16 string. This is the one reader of the layout: the
// framework replays it, the tests and fuzz targets read it through it too.
#pragma once

#include "platform/win32/resources.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The framework's resource type for list data.
#define RT_DLGINIT MAKEINTRESOURCEW(240)

// The 16-bit era's number for adding a string to a combo box, which list data
// keeps; the framework sends CB_ADDSTRING in its place.
#define WIN16_CB_ADDSTRING 0x0403

// One record as it stands in the bytes.
struct AFX_DLGINIT_RECORD {
    WORD nIDC;
    WORD nMsg;
    std::span<const std::uint8_t> data;
};

// Appends the records to *records in order, stopping at the first that runs
// past the end of the bytes; answers whether the data was whole, that is
// ended by its marker.
BOOL AfxReadDlgInit(std::span<const std::uint8_t> data, std::vector<AFX_DLGINIT_RECORD>* records);

// The string of an add-string record: up to its terminator, or the whole
// record (in whole characters) if a broken one has none.
std::basic_string<WCHAR> AfxDlgInitString(std::span<const std::uint8_t> data);

// Sends each record to its control in hDlg. Stops at the first record that
// runs past the end of the bytes; answers whether the data was whole.
BOOL AfxReplayDlgInit(HWND hDlg, std::span<const std::uint8_t> data);

// Finds the list data for the template lpszTemplateName and replays it.
// A dialog without list data is whole.
BOOL AfxExecuteDlgInit(HWND hDlg, LPCWSTR lpszTemplateName);
