// Turns a file's bytes, read in chunks, into wide text as UTF-8, checking as
// it goes that they are UTF-8 at all. A character whose bytes land in
// different chunks is put back together; zero bytes are dropped.
#pragma once

#include "platform/afx/cstring.h"
#include "platform/win32/types.h"

#include <cstddef>

class Utf8TextDecoder {
public:
    // Appends the text of one chunk to out. Answers false, with out as it was
    // before the call, when the bytes cannot be UTF-8; the decoder is of no
    // further use then.
    bool Append(const BYTE* bytes, DWORD count, CString& out);
    // Answers false when the last chunk ended inside a character.
    bool Finish() const { return m_heldCount == 0; }
    // Forgets the bytes held back: the rest of their character will not come.
    void DropHeld() { m_heldCount = 0; }

    // Whether every byte turned into text so far was ASCII: such text reads
    // the same in any ANSI code page.
    bool TookOnlyAscii() const { return m_tookOnlyAscii; }
    // The first bytes of a character that the last chunk did not complete;
    // none of them is text yet.
    const BYTE* HeldBytes() const { return m_held; }
    std::size_t HeldCount() const { return m_heldCount; }

private:
    bool Convert(const BYTE* bytes, std::size_t count, CString& out);

    BYTE m_held[4] = {};
    std::size_t m_heldCount = 0;
    bool m_tookOnlyAscii = true;
};
