#include "document/text_file_loader.h"

#include "document/text_file_decoder.h"
#include "platform/afx/framework.h"
#include "platform/win32/codepage.h"
#include "platform/win32/kernel.h"

#include <cstddef>
#include <cstdint>
#include <new>
#include <stdexcept>

namespace {

// Room for the whole text before the first read: a byte never gives more
// than one UTF-16 unit in any encoding a file is read in, so the file's size
// in bytes is enough, and the text is not copied as it grows (a copy that
// would briefly hold the old and the new buffer at once). Two units more are
// the line end that Print appends to a text it is handed as loaded, so that
// the append does not copy the whole text either. Only a hint: a size that
// cannot be learned or reserved leaves the text to grow as it is read.
void ReserveForFile(HANDLE file, std::basic_string<WCHAR>& text) {
    DWORD high = 0;
    const DWORD low = GetFileSize(file, &high);
    if ((low == INVALID_FILE_SIZE && GetLastError() != ERROR_SUCCESS) || high != 0) {
        return;
    }
    try {
        text.reserve(std::size_t{low} + 2);
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

// How far a load got: the file's bytes that were read into the text, of
// how many, and whether the reads stopped before the end.
struct LoadOutcome {
    bool fits = true;
    bool stopped = false;   // a read failed or was cancelled
    bool cancelled = false; // by the user
    std::uint64_t read = 0;
    std::uint64_t size = 0;
};

// Reads from the file's current position, a chunk at a time, until a read
// comes back short or fails. Answers false when the decoder finds that the
// file must be read again from its start.
bool ReadChunks(HANDLE file, TextFileDecoder& decoder, CString& text, LoadOutcome& outcome) {
    BYTE chunk[kLoadChunkSize];
    outcome.read = 0;
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, chunk, kLoadChunkSize, &read, nullptr)) {
            // The decoder is told the reads stopped rather than ended: the
            // character a chunk left open is no proof against its encoding.
            outcome.stopped = true;
            outcome.cancelled = GetLastError() == ERROR_OPERATION_ABORTED;
            decoder.Stop(text);
            return true;
        }
        outcome.read += read;
        if (!decoder.Append(chunk, read, text)) {
            return false;
        }
        if (read != kLoadChunkSize) {
            break;
        }
    }
    return decoder.Finish(text);
}

std::uint64_t FileSize(HANDLE file) {
    DWORD high = 0;
    const DWORD low = GetFileSize(file, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != ERROR_SUCCESS) {
        return 0;
    }
    return (std::uint64_t{high} << 32) | low;
}

// Reads the whole file into text, in the encoding it turns out to be in.
//
// The text grows with the file, so a large file can outgrow the memory; the
// string reports that by throwing std::bad_alloc. It is caught here, where
// text of a file's size is made, so that the load ends like a failed read
// instead of ending the program.
LoadOutcome ReadText(HANDLE file, CString& text) {
    LoadOutcome outcome;
    outcome.size = FileSize(file);
    try {
        TextFileDecoder decoder(CP_ACP, AmbiguousTextPreference());
        ReserveForFile(file, text.str());
        // Text taken in one encoding until the file proved it is in another
        // is read again, from the start. That happens at most once.
        while (!ReadChunks(file, decoder, text, outcome)) {
            text.Empty();
            if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) {
                outcome.stopped = true; // as a failed read, with no text read
                outcome.read = 0;
                break;
            }
        }
        ReleaseUnusedRoom(text.str());
    } catch (const std::bad_alloc&) {
        outcome.fits = false;
    }
    return outcome;
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

// 1234567 as "1,234,567".
CString GroupedCount(std::uint64_t n) {
    std::basic_string<WCHAR> text;
    int digits = 0;
    do {
        if (digits > 0 && digits % 3 == 0) {
            text.insert(text.begin(), TEXT(','));
        }
        text.insert(text.begin(), static_cast<WCHAR>(TEXT('0') + n % 10));
        n /= 10;
        ++digits;
    } while (n != 0);
    return CString(text.c_str());
}

// A part of a file must not pass for the whole: it would print as if it
// were. The counts are grouped in thousands, as the wait's progress shows
// them; a size the system did not tell (or that the file outgrew) is left
// out.
void ReportStopped(const LoadOutcome& outcome) {
    CString amount = GroupedCount(outcome.read);
    if (outcome.size >= outcome.read && outcome.size > 0) {
        amount += TEXT(" of ");
        amount += GroupedCount(outcome.size);
    }
    CString message;
    message.Format(outcome.cancelled
                       ? TEXT("Loading was cancelled: only the first %s bytes were loaded.")
                       : TEXT("The file could not be read to its end: only the first %s bytes "
                              "were loaded."),
                   static_cast<LPCWSTR>(amount));
    AfxMessageBox(message, MB_OK, 0);
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

    const LoadOutcome outcome = ReadText(file, host.StoredText());
    CloseHandle(file);

    host.ReadChoices();
    if (!outcome.fits || !RefreshWithText(host)) {
        ReportTooLarge(host);
        return;
    }
    if (outcome.stopped) {
        ReportStopped(outcome);
    }
}
