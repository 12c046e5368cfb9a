// Whether a file's bytes, read in chunks, also read as text in a double-byte
// ANSI code page: every lead byte has a trail byte that makes a character
// with it, and every other byte above ASCII is a character of the page.
//
// Short texts in such pages are often UTF-8 too ("谢谢" in code page 936 is
// D0 BB D0 BB, UTF-8 for "лл"); the decoder asks this check which reading a
// file also has before it settles on UTF-8.
#pragma once

#include "platform/win32/types.h"

#include <array>
#include <bitset>
#include <cstddef>

class AnsiReadingCheck {
public:
    explicit AnsiReadingCheck(UINT codePage);

    // Takes the next bytes of the file; a character may straddle two calls.
    void Take(const BYTE* bytes, std::size_t count);
    // Whether every byte taken so far belongs to a character of the page; a
    // lead byte still waiting for its partner does not.
    bool ReadsAsText() const { return m_valid && !m_hasLead; }

private:
    bool PairIsCharacter(BYTE lead, BYTE trail);

    UINT m_codePage;
    std::bitset<256> m_isLead;
    std::bitset<256> m_isCharacter; // a byte that is a character by itself
    // The trail bytes each lead byte takes, asked of the page the first time
    // that lead byte is seen.
    std::array<std::bitset<256>, 256> m_trails{};
    std::bitset<256> m_trailsKnown;
    bool m_valid = true;
    bool m_hasLead = false;
    BYTE m_lead = 0;
};
