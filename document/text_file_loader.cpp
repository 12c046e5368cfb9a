#include "document/text_file_loader.h"

#include "document/ansi_text_decoder.h"
#include "platform/afx/framework.h"
#include "platform/win32/codepage.h"
#include "platform/win32/kernel.h"

#include <new>
#include <stdexcept>

namespace {

// Room for the whole text before the first read: a code-page byte never
// gives more than one UTF-16 unit, so the file's size in bytes is enough,
// and the text is not copied as it grows (a copy that would briefly hold
// the old and the new buffer at once). Only a hint: a size that cannot be
// learned or reserved leaves the text to grow as it is read.
void ReserveForFile(HANDLE file, std::u16string& text) {
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

// A file that was mostly zero bytes leaves far more room than text; the
// room is given back rather than kept for as long as the form lives.
void ReleaseUnusedRoom(std::u16string& text) {
    if (text.capacity() / 2 > text.size()) {
        text.shrink_to_fit();
    }
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

    BYTE chunk[kLoadChunkSize];
    AnsiTextDecoder decoder(CP_ACP);
    CString& text = host.StoredText();
    ReserveForFile(file, text.str());
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, chunk, kLoadChunkSize, &read, nullptr)) {
            break;
        }
        decoder.Append(chunk, read, text);
        if (read != kLoadChunkSize) {
            break;
        }
    }
    decoder.Finish(text);
    ReleaseUnusedRoom(text.str());
    CloseHandle(file);

    host.ReadChoices();
    host.RefreshForm();
}
