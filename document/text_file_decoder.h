// Turns a text file's bytes, read in chunks, into wide text in the encoding
// the file turns out to be in, decided while it is read:
//
//   - after a UTF-16 byte-order mark (FF FE, FE FF): UTF-16, little- or
//     big-endian;
//   - a file that is UTF-8 in full, with or without the mark EF BB BF: UTF-8;
//   - any other file: the ANSI code page, as AnsiTextDecoder reads it.
//
// A byte-order mark is not text. Zero bytes (zero characters in UTF-16) are
// dropped in every encoding.
//
// A file is taken as UTF-8 until a byte says otherwise. If everything before
// that byte was ASCII, which reads the same in the ANSI code page, decoding
// simply goes on in the ANSI code page. Otherwise the text taken so far was
// read in the wrong encoding and the caller must read the file again from
// its start; a file is never shown half in one encoding and half in another.
#pragma once

#include "document/ansi_text_decoder.h"
#include "document/utf16_text_decoder.h"
#include "document/utf8_text_decoder.h"
#include "platform/afx/cstring.h"
#include "platform/win32/types.h"

#include <cstddef>

class TextFileDecoder {
public:
    explicit TextFileDecoder(UINT ansiCodePage);

    // Appends the text of one chunk to out. Answers false when the file has
    // turned out not to be UTF-8 after text was taken as UTF-8: the caller
    // then empties out and hands over the file again from its first byte,
    // which this decoder now reads in the ANSI code page. That happens at most
    // once.
    bool Append(const BYTE* bytes, DWORD count, CString& out);
    // Converts whatever is still held back; call once after the last chunk.
    // Answers false as Append does (the file ended inside a UTF-8 character).
    bool Finish(CString& out);

private:
    enum class Encoding { Undecided, Utf8, Utf16, Ansi };

    bool TakeMark(bool atEnd);
    bool Decode(const BYTE* bytes, std::size_t count, CString& out);
    bool LeaveUtf8(const BYTE* bytes, std::size_t count, CString& out);

    Encoding m_encoding = Encoding::Undecided;
    // The first bytes, held until they show whether the file starts with a
    // byte-order mark.
    BYTE m_head[3] = {};
    std::size_t m_headCount = 0;
    std::size_t m_markLength = 0;
    bool m_asciiReadsAlike; // the ANSI code page reads ASCII as ASCII

    Utf8TextDecoder m_utf8;
    Utf16TextDecoder m_utf16{false};
    AnsiTextDecoder m_ansi;
};
