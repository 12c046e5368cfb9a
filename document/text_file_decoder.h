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
//
// A file without a mark that reads as text both in UTF-8 and in a double-byte
// ANSI code page (many short ones do) is read in the one the system prefers
// (AmbiguousTextPreference): then too the file is read again when UTF-8 text
// was taken.
#pragma once

#include "document/ansi_reading_check.h"
#include "document/ansi_text_decoder.h"
#include "document/utf16_text_decoder.h"
#include "document/utf8_text_decoder.h"
#include "platform/afx/cstring.h"
#include "platform/win32/types.h"

#include <cstddef>
#include <optional>

// Which reading wins for a file that is text in UTF-8 and in the ANSI code
// page alike.
enum class AmbiguousText { ReadsAsUtf8, ReadsAsAnsi };

// The system's preference: the ANSI code page where the system's own
// character set is not UTF-8 (GetOEMCP, the code page of the system's text
// console, is not 65001), UTF-8 where it is.
AmbiguousText AmbiguousTextPreference();

class TextFileDecoder {
public:
    explicit TextFileDecoder(UINT ansiCodePage,
                             AmbiguousText ambiguous = AmbiguousText::ReadsAsUtf8);

    // Appends the text of one chunk to out. Answers false when the file has
    // turned out not to be UTF-8 after text was taken as UTF-8: the caller
    // then empties out and hands over the file again from its first byte,
    // which this decoder now reads in the ANSI code page. That happens at most
    // once.
    bool Append(const BYTE* bytes, DWORD count, CString& out);
    // Converts whatever is still held back; call once after the last chunk.
    // Answers false as Append does (the file ended inside a UTF-8 character).
    // Also answers false when the file, read in full as UTF-8, turns out to
    // read in the ANSI code page as well, and the ANSI reading is preferred.
    bool Finish(CString& out);
    // Ends a file that was not read to its end (a read failed or was
    // cancelled): the bytes held back, the start of a character whose rest
    // never came, are dropped. A read that stopped says nothing about the
    // encoding, so the text stays in the one it was read in.
    void Stop(CString& out);

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
    // Kept only while the ANSI reading of UTF-8 text would be preferred.
    std::optional<AnsiReadingCheck> m_ansiCheck;

    Utf8TextDecoder m_utf8;
    Utf16TextDecoder m_utf16{false};
    AnsiTextDecoder m_ansi;
};
