#include "document/ansi_text_decoder.h"

#include "platform/win32/codepage.h"

AnsiTextDecoder::AnsiTextDecoder(UINT codePage) : m_codePage(codePage) {
    for (int b = 0; b < 256; ++b) {
        m_isLead[b] = IsDBCSLeadByteEx(m_codePage, static_cast<BYTE>(b)) != FALSE;
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
    const int needed = MultiByteToWideChar(m_codePage, 0, source, length, nullptr, 0);
    if (needed <= 0) {
        return;
    }
    std::u16string& text = out.str();
    const std::size_t start = text.size();
    text.resize(start + static_cast<std::size_t>(needed));
    const int written =
        MultiByteToWideChar(m_codePage, 0, source, length, text.data() + start, needed);
    text.resize(start + static_cast<std::size_t>(written > 0 ? written : 0));
}

void AnsiTextDecoder::Append(const BYTE* bytes, DWORD count, CString& out) {
    // Build the run to convert: a held-back lead byte first, then the chunk's
    // bytes up to each zero byte. A zero byte ends a run (and any lead byte
    // waiting for its partner); the text after it is converted as its own run.
    std::vector<BYTE>& run = m_run;
    run.clear();
    run.reserve(count + 1);
    if (m_hasPendingLead) {
        run.push_back(m_pendingLead);
        m_hasPendingLead = false;
    }

    // pairOpen tracks whether the last byte of run is a lead byte still
    // waiting for its trail byte. Lead-byte ranges overlap trail-byte ranges,
    // so this has to be followed from the start of each run.
    bool pairOpen = !run.empty();
    for (DWORD i = 0; i < count; ++i) {
        const BYTE b = bytes[i];
        if (b == 0) {
            ConvertRun(run.data(), run.size(), out);
            run.clear();
            pairOpen = false;
            continue;
        }
        run.push_back(b);
        if (pairOpen) {
            pairOpen = false;
        } else if (m_isLead[b]) {
            pairOpen = true;
        }
    }

    if (pairOpen) {
        m_pendingLead = run.back();
        m_hasPendingLead = true;
        run.pop_back();
    }
    ConvertRun(run.data(), run.size(), out);
}

void AnsiTextDecoder::Finish(CString& out) {
    if (m_hasPendingLead) {
        m_hasPendingLead = false;
        ConvertRun(&m_pendingLead, 1, out);
    }
}
