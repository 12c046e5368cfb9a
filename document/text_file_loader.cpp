#include "document/text_file_loader.h"

#include "document/text_file_decoder.h"
#include "platform/afx/framework.h"
#include "platform/win32/codepage.h"
#include "platform/win32/kernel.h"

#include <new>
#include <stdexcept>

namespace {

// Room for the whole text before the first read: a byte never gives more
// than one UTF-16 unit in any encoding a file is read in, so the file's size
// in bytes is enough, and the text is not copied as it grows (a copy that
// would briefly hold the old and the new buffer at once). Only a hint: a size
// that cannot be learned or reserved leaves the text to grow as it is read.
void ReserveForFile(HANDLE file, std::basic_string<WCHAR>& text) {
    DWORD high = 0;
    const DWORD low = GetFileSize(file, &high);
    if ((low == INVALID_FILE_SIZE && GetLastError() != ERROR_SUCCESS) || high != 0) {
        return;
    }
    try {
        text.reserve(low);
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
}

// A file that was mostly zero bytes, or UTF-16, leaves far more room than
// text; the room is given back rather than kept for as long as the form
// lives.
void ReleaseUnusedRoom(std::basic_string<WCHAR>& text) {
    if (text.capacity() / 2 > text.size()) {
        text.shrink_to_fit();
    }
}

// Reads from the file's current position, a chunk at a time, until a read
// comes back short or fails. Answers false when the decoder finds that the
// file must be read again from its start.
bool ReadChunks(HANDLE file, TextFileDecoder& decoder, CString& text) {
    BYTE chunk[kLoadChunkSize];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, chunk, kLoadChunkSize, &read, nullptr)) {
            break;
        }
        if (!decoder.Append(chunk, read, text)) {
            return false;
        }
        if (read != kLoadChunkSize) {
            break;
        }
    }
    return decoder.Finish(text);
}

// Reads the whole file into text, in the encoding it turns out to be in.
// Answers false when the text does not fit in the memory left.
//
// The text grows with the file, so a large file can outgrow the memory; the
// string reports that by throwing std::bad_alloc. It is caught here, where
// text of a file's size is made, so that the load ends like a failed read
// instead of ending the program.
bool ReadText(HANDLE file, CString& text) {
    try {
        TextFileDecoder decoder(CP_ACP);
        ReserveForFile(file, text.str());
        // Text taken as UTF-8 until a byte proved otherwise is read again,
        // from the start, in the ANSI code page. That happens at most once.
        while (!ReadChunks(file, decoder, text)) {
            text.Empty();
            if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) {
                break; // as a failed read, with no text read
            }
        }
        ReleaseUnusedRoom(text.str());
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// The text box keeps a copy of the text, as a Win32 edit control does, so the
// refresh too can run out of memory with a large file (for the same reason
// as above).
bool RefreshWithText(LoaderHost& host) {
    try {
        host.RefreshForm();
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// No part of the text is kept: a part would print as if it were the file.
// Its room is given back, so that the form is refreshed with an empty text
// and goes on working.
void ReportTooLarge(LoaderHost& host) {
    std::basic_string<WCHAR>().swap(host.StoredText().str());
    host.RefreshForm();
    AfxMessageBox(TEXT("The file is too large for the memory available."), MB_OK, 0);
}

} // namespace

void LoadTextFile(LoaderHost& host, const CString& path) {
    host.StoredText() = TEXT("");
    host.StoredFile() = path;

    HANDLE file =
        CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        AfxMessageBox(TEXT("Could not open file!"), MB_OK, 0);
        return;
    }

    const bool fits = ReadText(file, host.StoredText());
    CloseHandle(file);

    host.ReadChoices();
    if (!fits || !RefreshWithText(host)) {
        ReportTooLarge(host);
    }
}
