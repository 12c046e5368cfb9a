#include "document/ansi_text_decoder.h"

#include "platform/win32/codepage.h"
#include "platform/win32/kernel.h"

#include <cstring>

namespace {

// Where the next zero byte is, or end.
const BYTE* NextZero(const BYTE* from, const BYTE* end) {
    const void* zero = std::memchr(from, 0, static_cast<std::size_t>(end - from));
    return zero != nullptr ? static_cast<const BYTE*>(zero) : end;
}

} // namespace

AnsiTextDecoder::AnsiTextDecoder(UINT codePage) : m_codePage(codePage) {
    for (int b = 0; b < 256; ++b) {
        m_isLead[b] = IsDBCSLeadByteEx(m_codePage, static_cast<BYTE>(b)) != FALSE;
        m_hasLeadBytes = m_hasLeadBytes || m_isLead[b];
    }
}

void AnsiTextDecoder::ConvertRun(const BYTE* bytes, std::size_t count, CString& out) const {
    // One conversion call per run keeps the cost linear; runs never exceed a
    // chunk plus one held-back byte, far below INT_MAX.
    if (count == 0) {
        return;
    }
    const auto* source = reinterpret_cast<LPCSTR>(bytes);
    const int length = static_cast<int>(count);
    std::basic_string<WCHAR>& text = out.str();
    const std::size_t start = text.size();
    // A byte, or a pair of bytes, never gives more than one UTF-16 unit, so
    // as many units as bytes is room enough and the size query is spared.
    // Should a code page ever give more, the query answers the true need.
    text.resize(start + count);
    int written = MultiByteToWideChar(m_codePage, 0, source, length, text.data() + start, length);
    if (written <= 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        const int needed = MultiByteToWideChar(m_codePage, 0, source, length, nullptr, 0);
        if (needed > 0) {
            text.resize(start + static_cast<std::size_t>(needed));
            written =
                MultiByteToWideChar(m_codePage, 0, source, length, text.data() + start, needed);
        }
    }
    text.resize(start + static_cast<std::size_t>(written > 0 ? written : 0));
}

void AnsiTextDecoder::Append(const BYTE* bytes, DWORD count, CString& out) {
    // The chunk is cut into runs at its zero bytes; each run is converted as
    // it stands in the chunk. A zero byte ends a run and any lead byte
    // waiting for its partner; the text after it is converted as its own run.
    const BYTE* at = bytes;
    const BYTE* const end = bytes + count;

    if (m_hasPendingLead) {
        // The held-back lead byte begins the first run, which is therefore
        // the only one put together in a buffer of its own.
        m_hasPendingLead = false;
        const BYTE* const zero = NextZero(at, end);
        if (zero == end) {
            // The run reaches the chunk's end and may hold a byte back again.
            m_run.assign(1, m_pendingLead);
            m_run.insert(m_run.end(), at, end);
            ConvertTail(m_run.data(), m_run.size(), out);
            return;
        }
        m_run.assign(1, m_pendingLead);
        m_run.insert(m_run.end(), at, zero);
        ConvertRun(m_run.data(), m_run.size(), out);
        at = zero + 1;
    }

    for (;;) {
        const BYTE* const zero = NextZero(at, end);
        if (zero == end) {
            break;
        }
        ConvertRun(at, static_cast<std::size_t>(zero - at), out);
        at = zero + 1;
    }
    ConvertTail(at, static_cast<std::size_t>(end - at), out);
}

void AnsiTextDecoder::ConvertTail(const BYTE* run, std::size_t count, CString& out) {
    // The last run of a chunk: a lead byte at its very end waits for the
    // next chunk. Lead-byte values are also trail-byte values, so a pair
    // can only be told from the byte before the last stretch of lead values:
    // any other byte ends a character, and the stretch after it pairs off
    // from its start. An odd stretch leaves its last byte open. A held-back
    // lead byte at the run's start is itself a lead value, so it counts as
    // part of the stretch. A page without lead bytes never holds one back.
    if (m_hasLeadBytes) {
        std::size_t leads = 0;
        while (leads < count && m_isLead[run[count - 1 - leads]]) {
            ++leads;
        }
        if (leads % 2 != 0) {
            m_pendingLead = run[count - 1];
            m_hasPendingLead = true;
            --count;
        }
    }
    ConvertRun(run, count, out);
}

void AnsiTextDecoder::Finish(CString& out) {
    if (m_hasPendingLead) {
        m_hasPendingLead = false;
        ConvertRun(&m_pendingLead, 1, out);
    }
}
