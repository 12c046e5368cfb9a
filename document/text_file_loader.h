// Loading a text file into the form: the work of the "..." button once the
// user has picked a file.
#pragma once

#include "document/loader_host.h"
#include "platform/win32/types.h"

// Size of each read; the loader's chunk buffer lives on the handler's stack.
inline constexpr DWORD kLoadChunkSize = 4096;

// Replaces the host's stored text with the file's text in the ANSI code page
// and stores path as the file name. A file that cannot be opened (missing,
// unreadable, or not a regular file) shows "Could not open file!" and leaves
// the form as it is. A failed read keeps the text read so far.
void LoadTextFile(LoaderHost& host, const CString& path);
