#include "document/text_file_loader.h"

#include "document/ansi_text_decoder.h"
#include "platform/afx/framework.h"
#include "platform/win32/codepage.h"
#include "platform/win32/kernel.h"

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
    CloseHandle(file);

    host.ReadChoices();
    host.RefreshForm();
}
