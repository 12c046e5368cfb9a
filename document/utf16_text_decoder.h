// Turns a UTF-16 file's bytes, read in chunks, into wide text, in the byte
// order its byte-order mark gave. A character whose bytes land in different
// chunks is put back together; zero characters are dropped.
//
// What UTF-16 cannot spell becomes U+FFFD, never nothing: a surrogate without
// its other half (also when a zero comes between the halves), and an odd
// byte at the end of the file, which is half a character. The form then
// holds only well-formed text.
#pragma once

#include "platform/afx/cstring.h"
#include "platform/win32/types.h"

class Utf16TextDecoder {
public:
    explicit Utf16TextDecoder(bool bigEndian) : m_bigEndian(bigEndian) {}

    // Appends the text of one chunk to out; a byte or a high surrogate at its
    // end waits for the next chunk (or Finish).
    void Append(const BYTE* bytes, DWORD count, CString& out);
    // Shows whatever still waits; call once after the last chunk.
    void Finish(CString& out);

private:
    // Appends one code unit to text at at, pairing surrogates; answers where
    // the next unit goes.
    std::size_t Take(WCHAR unit, std::basic_string<WCHAR>& text, std::size_t at);

    bool m_bigEndian;
    bool m_hasOddByte = false;
    BYTE m_oddByte = 0;
    bool m_hasHighSurrogate = false;
    WCHAR m_highSurrogate = 0;
};
