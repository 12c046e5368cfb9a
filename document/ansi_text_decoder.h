// Turns a file's bytes, read in chunks, into wide text in the device's ANSI
// code page. A double-byte character whose two bytes land in different chunks
// is put back together, and zero bytes are dropped without losing the text
// around them.
#pragma once

#include "platform/afx/cstring.h"
#include "platform/win32/types.h"

#include <vector>

class AnsiTextDecoder {
public:
    explicit AnsiTextDecoder(UINT codePage);

    // Converts the bytes of one chunk and appends them to out. A lead byte at
    // the very end is held back until the next chunk (or Finish) completes it.
    void Append(const BYTE* bytes, DWORD count, CString& out);
    // Converts whatever is still held back; call once after the last chunk.
    void Finish(CString& out);
    // Forgets a lead byte held back: its partner will not come.
    void DropHeld() { m_hasPendingLead = false; }

private:
    void ConvertRun(const BYTE* bytes, std::size_t count, CString& out) const;
    void ConvertTail(const BYTE* run, std::size_t count, CString& out);

    UINT m_codePage;
    bool m_isLead[256] = {}; // asked of the code page once, not per byte
    bool m_hasLeadBytes = false;
    std::vector<BYTE> m_run; // a held-back lead byte and the run it begins
    bool m_hasPendingLead = false;
    BYTE m_pendingLead = 0;
};
