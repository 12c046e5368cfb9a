#include "engine/print_stream.h"

#include "engine/command_block.h"
#include "engine/format_block.h"
#include "link/port_connection.h"
#include "platform/win32/codepage.h"
#include "platform/win32/user.h"

#include <algorithm>
#include <climits>
#include <new>
#include <utility>
#include <vector>

namespace {

constexpr BYTE kTestPageHeader[] = {0x00, 0x00, 0x00, 0x00, 0x1B, 0x40};

constexpr char kTestTextHead[] = "--Use Help for Printer--\r\n\r\n"
                                 "   Make sure your PDA have the  BlueTooth Port or IR Port"
                                 " and can run well\r\n\r\n";
constexpr char kTestTextTail[] = "---Here,Test Ok,Thank you---\r\n\r\n\r\n";
static_assert(sizeof(kTestTextHead) - 1 == 106 && sizeof(kTestTextTail) - 1 == 34);

constexpr DWORD kSizeFlags = WC_COMPOSITECHECK | WC_SEPCHARS;
constexpr DWORD kConvertFlags = WC_COMPOSITECHECK | WC_DEFAULTCHAR;

// A text is converted and written a piece at a time, so that a Print holds
// no second copy of it. A piece converts exactly as it does inside the whole
// text when it ends before a character that stands alone: the conversion
// joins a character only with the nonspacing marks after it (none is below
// U+0300, a CJK ideograph or a Hangul syllable) and a surrogate with its
// partner; a double-byte character is then never split between pieces.
constexpr std::size_t kPieceLength = 1 << 16;

bool StandsAlone(WCHAR c) {
    return c < 0x300 || (c >= 0x3400 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7A3);
}

// Where the piece from `from` ends: before the last character that stands
// alone within a piece's length, else the first after it. The last piece
// takes the terminator (length is where it stands).
std::size_t PieceEnd(LPCWSTR text, std::size_t from, std::size_t length) {
    const std::size_t limit = from + kPieceLength;
    if (limit > length) {
        return length + 1;
    }
    for (std::size_t at = limit; at > from; --at) {
        if (StandsAlone(text[at])) {
            return at;
        }
    }
    for (std::size_t at = limit + 1; at < length; ++at) {
        if (StandsAlone(text[at])) {
            return at;
        }
    }
    return length + 1;
}

// The text as the conversion reads it with length -1: up to its first zero.
std::size_t TextLength(const CString& s) {
    const LPCWSTR text = s;
    const auto length = static_cast<std::size_t>(s.GetLength());
    for (std::size_t from = 0; from < length; from += 4096) {
        const std::size_t to = std::min(length, from + 4096);
        unsigned zeros = 0;
        for (std::size_t i = from; i < to; ++i) {
            zeros |= text[i] == 0 ? 1u : 0u; // no early exit: the loop vectorises
        }
        if (zeros != 0) {
            return static_cast<std::size_t>(std::find(text + from, text + to, 0) - text);
        }
    }
    return length;
}

// Room for the longest piece's bytes: at most two a character.
std::size_t BufferSize(LPCWSTR text, std::size_t length) {
    std::size_t longest = 0;
    for (std::size_t from = 0; from <= length;) {
        const std::size_t to = PieceEnd(text, from, length);
        longest = std::max(longest, to - from);
        from = to;
    }
    return 2 * longest;
}

// The size of the whole text (terminator included) counts in an int; when it
// would pass INT_MAX the size query fails. Only a text of more than a
// gigabyte of characters can come near, and only then are its pieces counted.
bool SizeFitsAnInt(LPCWSTR text, std::size_t length) {
    if (length < INT_MAX / 2) {
        return true;
    }
    std::size_t total = 0;
    for (std::size_t from = 0; from <= length && total <= INT_MAX;) {
        const std::size_t to = PieceEnd(text, from, length);
        total += static_cast<std::size_t>(WideCharToMultiByte(CP_ACP, kSizeFlags, text + from,
                                                              static_cast<int>(to - from), nullptr,
                                                              0, nullptr, nullptr));
        from = to;
    }
    return total <= INT_MAX;
}

// Below this every character converts to exactly one byte in the ANSI code
// page: ASCII in every page; in a page without lead bytes, everything below
// the first nonspacing mark (U+0300), since then nothing is joined.
WCHAR OneByteBelow() {
    for (int b = 0x80; b < 0x100; ++b) {
        if (IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(b)) != FALSE) {
            return 0x80;
        }
    }
    return 0x300;
}

// The size of a piece as the conversion gives it. Most pieces are counted
// rather than sized: a loop that vectorises, far cheaper than the size query.
int PieceSize(LPCWSTR text, std::size_t count, WCHAR oneByteBelow) {
    unsigned above = 0;
    for (std::size_t i = 0; i < count; ++i) {
        above |= text[i] >= oneByteBelow ? 1u : 0u; // no early exit: the loop vectorises
    }
    if (above == 0) {
        return static_cast<int>(count);
    }
    return WideCharToMultiByte(CP_ACP, kSizeFlags, text, static_cast<int>(count), nullptr, 0,
                               nullptr, nullptr);
}

// The bytes SendText puts on the line for a text of more than one piece, as
// the pieces are sized (the terminator in the last) and one zero byte more;
// 0 when a piece cannot be sized, which ends the text early. Only the wait's
// progress uses it.
ULONGLONG JobSize(LPCWSTR text, std::size_t length) {
    const WCHAR oneByteBelow = OneByteBelow();
    ULONGLONG total = 1;
    for (std::size_t from = 0; from <= length;) {
        const std::size_t to = PieceEnd(text, from, length);
        const int nSize = PieceSize(text + from, to - from, oneByteBelow);
        if (nSize <= 0) {
            return 0;
        }
        total += static_cast<ULONGLONG>(nSize);
        from = to;
    }
    return total;
}

// A text written in several pieces is one job to the user waiting for it:
// its size is announced to the platform for as long as it is being sent.
class AnnouncedJob {
public:
    AnnouncedJob(PortHost& host, LPCWSTR text, std::size_t length) : m_host(host) {
        if (length >= kPieceLength) {
            AnnounceJobSize(m_host, JobSize(text, length));
        }
    }
    ~AnnouncedJob() { AnnounceJobSize(m_host, 0); }
    AnnouncedJob(const AnnouncedJob&) = delete;
    AnnouncedJob& operator=(const AnnouncedJob&) = delete;

private:
    PortHost& m_host;
};

} // namespace

bool SendText(PortHost& host, CString s) {
    // s shares the caller's buffer; nothing here copies the text.
    const LPCWSTR text = s;
    const std::size_t length = TextLength(s);
    // A long text may leave no room even for one piece's conversion. That is
    // a failed step like a failed write, told to the user, with nothing of
    // the text sent; the program reports failures by message, so the
    // allocator's exception stops here.
    std::vector<char> buffer;
    try {
        buffer.assign(BufferSize(text, length) + 1, 0);
    } catch (const std::bad_alloc&) {
        ReportNotEnoughMemory(host);
        return false;
    }
    if (!SizeFitsAnInt(text, length)) {
        return WritePort(host, buffer.data(), 1); // a failed size query: L = 0, one zero byte
    }
    // Each piece is sized as the whole text is (the size counts the
    // terminator, in the last piece) and converted with the conversion's
    // flags; bytes the conversion leaves unfilled go out as zeros after the
    // text, with one zero byte more, as if the text were converted whole
    // into a zeroed buffer of the size plus one.
    //
    // The two differ only where a character is followed by a nonspacing mark
    // the code page cannot fold into it: the size counts the mark's own bytes
    // where the conversion puts the default character. A piece the
    // conversion wrote without a default character has no such place, so its
    // size is what was written, and it is converted once. Any other piece is
    // sized and converted again as the rule says.
    const AnnouncedJob job(host, text, length);
    std::size_t nZeros = 1;
    const int room = static_cast<int>(std::min<std::size_t>(buffer.size(), INT_MAX));
    for (std::size_t from = 0; from <= length;) {
        const std::size_t to = PieceEnd(text, from, length);
        const int nUnits = static_cast<int>(to - from);
        BOOL usedDefault = TRUE;
        int nWritten = WideCharToMultiByte(CP_ACP, kConvertFlags, text + from, nUnits,
                                           buffer.data(), room, nullptr, &usedDefault);
        int nSize = nWritten;
        if (nWritten <= 0 || usedDefault) {
            nSize = WideCharToMultiByte(CP_ACP, kSizeFlags, text + from, nUnits, nullptr, 0,
                                        nullptr, nullptr);
            if (nSize <= 0) {
                // Refused flags or code page: the first piece fails as the
                // whole text would, and its size 0 leaves one zero byte to send.
                buffer[0] = 0;
                return WritePort(host, buffer.data(), 1);
            }
            nWritten = WideCharToMultiByte(CP_ACP, kConvertFlags, text + from, nUnits,
                                           buffer.data(), nSize, nullptr, nullptr);
        }
        nZeros += static_cast<std::size_t>(nSize - nWritten);
        auto nBytes = static_cast<std::size_t>(nWritten);
        if (to > length && nBytes + nZeros <= buffer.size()) {
            std::fill_n(buffer.begin() + nWritten, nZeros, 0); // the last piece takes the zeros
            nBytes += std::exchange(nZeros, 0);
        }
        if (!WritePort(host, buffer.data(), static_cast<DWORD>(nBytes))) {
            return false;
        }
        from = to;
    }
    std::fill(buffer.begin(), buffer.end(), 0);
    while (nZeros > 0) {
        const std::size_t n = std::min(nZeros, buffer.size());
        if (!WritePort(host, buffer.data(), static_cast<DWORD>(n))) {
            return false;
        }
        nZeros -= n;
    }
    return true;
}

void ReportNotEnoughMemory(PortHost& host) {
    MessageBoxW(host.MessageOwner(), TEXT("Not enough memory to print this text."), TEXT("Error"),
                MB_OK);
}

bool SendFormatBlock(PortHost& host, CommandSet set, FormatOptions options) {
    FillFormatBlock(g_pCommandBlock, set, options);
    return WritePort(host, g_pCommandBlock, kCommandBlockSize);
}

void SendTestPage(PortHost& host) {
    const CString strTest = CString(kTestTextHead) + CString(kTestTextTail);
    if (!WritePort(host, kTestPageHeader, sizeof(kTestPageHeader))) {
        return;
    }
    SendText(host, strTest);
}
