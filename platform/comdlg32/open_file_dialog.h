// The open-file common dialog (GetOpenFileNameW), a modal window of the
// window system like a message box: a "Look in:" line with the current
// folder, a list of its sub-folders (".." first) and of the files that match
// the chosen type, a "File name:" field that takes a name, a path, a folder
// to go into or a pattern to list by, a "Files of type:" drop-down with the
// caller's filters, and OK and Cancel.
//
// Enter or a double click on a folder goes into it, on a file answers it;
// selecting a file puts its name in the field; Esc cancels. A folder that
// cannot be read is reported in a message box and the dialog stays where it
// was. The answer is the full path, in the caller's buffer.
#pragma once

#include "platform/win32/commdlg.h"

namespace comdlg32 {

// The controls' ids, those the original platform's dialog uses, so that a
// test can reach them with GetDlgItem(GetParent(GetFocus()), id).
inline constexpr int kOpenFileList = 0x0460;        // the folder's entries
inline constexpr int kOpenFileTypes = 0x0470;       // "Files of type:"
inline constexpr int kOpenFileName = 0x0480;        // "File name:"
inline constexpr int kOpenFileFolder = 0x0440;      // the current folder, after "Look in:"
inline constexpr int kOpenFileTypesLabel = 0x0441;  // "Files of type:"
inline constexpr int kOpenFileNameLabel = 0x0442;   // "File name:"
inline constexpr int kOpenFileLookInLabel = 0x0443; // "Look in:"

} // namespace comdlg32
