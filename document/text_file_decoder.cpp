#include "document/text_file_decoder.h"

#include "platform/win32/codepage.h"
#include "platform/win32/kernel.h"

#include <algorithm>

namespace {

struct ByteOrderMark {
    BYTE bytes[3];
    std::size_t length;
    bool utf16;
    bool bigEndian;
};

constexpr ByteOrderMark kMarks[] = {
    {{0xEF, 0xBB, 0xBF}, 3, false, false},
    {{0xFF, 0xFE, 0x00}, 2, true, false},
    {{0xFE, 0xFF, 0x00}, 2, true, true},
};

// Every ANSI code page the system offers keeps ASCII where it is, but that is
// asked of the page rather than assumed.
bool AsciiReadsAlike(UINT codePage) {
    char ascii[127];
    WCHAR wide[127];
    for (int b = 1; b < 128; ++b) {
        ascii[b - 1] = static_cast<char>(b);
    }
    if (MultiByteToWideChar(codePage, 0, ascii, 127, wide, 127) != 127) {
        return false;
    }
    for (int b = 1; b < 128; ++b) {
        if (wide[b - 1] != static_cast<WCHAR>(b)) {
            return false;
        }
    }
    return true;
}

bool HasLeadBytes(UINT codePage) {
    for (int b = 0x80; b < 256; ++b) {
        if (IsDBCSLeadByteEx(codePage, static_cast<BYTE>(b)) != FALSE) {
            return true;
        }
    }
    return false;
}

} // namespace

AmbiguousText AmbiguousTextPreference() {
    // A system whose own text is UTF-8 writes its files in UTF-8; one whose
    // text is in a code page writes them in that page, and a short file of
    // its own that happens to be UTF-8 as well is still its own.
    return GetOEMCP() == CP_UTF8 ? AmbiguousText::ReadsAsUtf8 : AmbiguousText::ReadsAsAnsi;
}

TextFileDecoder::TextFileDecoder(UINT ansiCodePage, AmbiguousText ambiguous)
    : m_asciiReadsAlike(AsciiReadsAlike(ansiCodePage)), m_ansi(ansiCodePage) {
    // Single-byte pages read almost any byte string, so a file that is UTF-8
    // in full is UTF-8 there; only the double-byte pages make real doubt.
    if (ambiguous == AmbiguousText::ReadsAsAnsi && HasLeadBytes(ansiCodePage)) {
        m_ansiCheck.emplace(ansiCodePage);
    }
}

bool TextFileDecoder::TakeMark(bool atEnd) {
    // Answers false while the bytes held could still be the start of a mark.
    for (const ByteOrderMark& mark : kMarks) {
        const std::size_t compared = std::min(m_headCount, mark.length);
        if (!std::equal(m_head, m_head + compared, mark.bytes)) {
            continue;
        }
        if (m_headCount < mark.length) {
            if (!atEnd) {
                return false;
            }
            continue; // the file ended inside it: it was no mark
        }
        m_markLength = mark.length;
        if (mark.utf16) {
            m_utf16 = Utf16TextDecoder(mark.bigEndian);
            m_encoding = Encoding::Utf16;
        } else {
            m_encoding = Encoding::Utf8;
            m_ansiCheck.reset(); // a UTF-8 mark says what the file is
        }
        return true;
    }
    m_encoding = Encoding::Utf8;
    return true;
}

bool TextFileDecoder::Decode(const BYTE* bytes, std::size_t count, CString& out) {
    switch (m_encoding) {
    case Encoding::Utf8:
        if (m_ansiCheck) {
            m_ansiCheck->Take(bytes, count);
        }
        return m_utf8.Append(bytes, static_cast<DWORD>(count), out) || LeaveUtf8(bytes, count, out);
    case Encoding::Utf16:
        m_utf16.Append(bytes, static_cast<DWORD>(count), out);
        return true;
    default:
        m_ansi.Append(bytes, static_cast<DWORD>(count), out);
        return true;
    }
}

bool TextFileDecoder::LeaveUtf8(const BYTE* bytes, std::size_t count, CString& out) {
    // The bytes at hand cannot be UTF-8. Text without a mark that was ASCII
    // throughout stands as it is, and the ANSI code page goes on from the
    // first byte that is not text yet; anything else is read again.
    m_encoding = Encoding::Ansi;
    if (m_markLength != 0 || !m_asciiReadsAlike || !m_utf8.TookOnlyAscii()) {
        return false;
    }
    if (m_utf8.HeldCount() > 0) {
        m_ansi.Append(m_utf8.HeldBytes(), static_cast<DWORD>(m_utf8.HeldCount()), out);
    }
    if (count > 0) {
        m_ansi.Append(bytes, static_cast<DWORD>(count), out);
    }
    return true;
}

bool TextFileDecoder::Append(const BYTE* bytes, DWORD count, CString& out) {
    DWORD taken = 0;
    if (m_encoding == Encoding::Undecided) {
        while (m_encoding == Encoding::Undecided && taken < count) {
            m_head[m_headCount++] = bytes[taken++];
            TakeMark(false);
        }
        if (m_encoding == Encoding::Undecided) {
            return true;
        }
        // The bytes held after the mark, if any, are the text's first.
        if (!Decode(m_head + m_markLength, m_headCount - m_markLength, out)) {
            return false;
        }
    }
    return Decode(bytes + taken, count - taken, out);
}

bool TextFileDecoder::Finish(CString& out) {
    if (m_encoding == Encoding::Undecided) {
        TakeMark(true);
        if (!Decode(m_head + m_markLength, m_headCount - m_markLength, out)) {
            return false;
        }
    }
    if (m_encoding == Encoding::Utf8 && !m_utf8.Finish() && !LeaveUtf8(nullptr, 0, out)) {
        return false;
    }
    if (m_encoding == Encoding::Utf8 && m_ansiCheck && m_ansiCheck->ReadsAsText() &&
        !m_utf8.TookOnlyAscii()) {
        m_encoding = Encoding::Ansi;
        return false;
    }
    if (m_encoding == Encoding::Utf16) {
        m_utf16.Finish(out);
    } else if (m_encoding == Encoding::Ansi) {
        m_ansi.Finish(out);
    }
    return true;
}

void TextFileDecoder::Stop(CString& out) {
    if (m_encoding == Encoding::Undecided) {
        // Fewer bytes than a mark: as at the end of a file, but never a
        // reason to read the file again.
        TakeMark(true);
        if (!Decode(m_head + m_markLength, m_headCount - m_markLength, out)) {
            return;
        }
    }
    switch (m_encoding) {
    case Encoding::Utf8:
        m_utf8.DropHeld();
        break;
    case Encoding::Utf16:
        m_utf16.Finish(out);
        break;
    default:
        m_ansi.DropHeld();
        break;
    }
}
