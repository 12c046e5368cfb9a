// Loading a text file into the form: the work of the "..." button once the
// user has picked a file.
#pragma once

#include "document/loader_host.h"
#include "platform/win32/types.h"

// Size of each read; the loader's chunk buffer lives on the handler's stack.
inline constexpr DWORD kLoadChunkSize = 4096;

// Replaces the host's stored text with the file's text and stores path as the
// file name. The text is read as UTF-16 after a UTF-16 byte-order mark, as
// UTF-8 when the whole file is UTF-8, else in the ANSI code page
// (TextFileDecoder, with the system's preference for files that read both
// ways). A file that cannot be opened (missing, unreadable, or not a regular
// file) shows "Could not open file!" and leaves the form as it is. A read
// that fails or that the user cancels keeps the text read so far, in the
// encoding it was being read in, and a message says how many of the file's
// bytes that text holds. A text too large for the
// memory left is dropped whole: the form shows an empty text and the path,
// and a message says why.
void LoadTextFile(LoaderHost& host, const CString& path);
