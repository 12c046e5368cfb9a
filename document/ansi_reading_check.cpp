#include "document/ansi_reading_check.h"

#include "platform/win32/codepage.h"

AnsiReadingCheck::AnsiReadingCheck(UINT codePage) : m_codePage(codePage) {
    for (int b = 0x80; b < 256; ++b) {
        const auto byte = static_cast<BYTE>(b);
        if (IsDBCSLeadByteEx(codePage, byte) != FALSE) {
            m_isLead.set(byte);
            continue;
        }
        const char single = static_cast<char>(byte);
        WCHAR wide = 0;
        m_isCharacter[byte] =
            MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, &single, 1, &wide, 1) == 1;
    }
}

bool AnsiReadingCheck::PairIsCharacter(BYTE lead, BYTE trail) {
    if (!m_trailsKnown[lead]) {
        m_trailsKnown.set(lead);
        for (int t = 1; t < 256; ++t) {
            const char pair[2] = {static_cast<char>(lead), static_cast<char>(t)};
            WCHAR wide[2] = {};
            m_trails[lead][static_cast<std::size_t>(t)] =
                MultiByteToWideChar(m_codePage, MB_ERR_INVALID_CHARS, pair, 2, wide, 2) == 1;
        }
    }
    return m_trails[lead][trail];
}

void AnsiReadingCheck::Take(const BYTE* bytes, std::size_t count) {
    // Once a byte has shown the page cannot read the file, nothing after it
    // can change that.
    for (std::size_t i = 0; i < count && m_valid; ++i) {
        const BYTE b = bytes[i];
        if (m_hasLead) {
            m_hasLead = false;
            m_valid = PairIsCharacter(m_lead, b);
        } else if (b < 0x80) {
            continue;
        } else if (m_isLead[b]) {
            m_hasLead = true;
            m_lead = b;
        } else {
            m_valid = m_isCharacter[b];
        }
    }
}
