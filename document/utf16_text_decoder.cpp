#include "document/utf16_text_decoder.h"

#include "platform/win32/codepage.h"

namespace {

constexpr WCHAR kReplacement = 0xFFFD;

} // namespace

std::size_t Utf16TextDecoder::Take(WCHAR unit, std::basic_string<WCHAR>& text, std::size_t at) {
    if (m_hasHighSurrogate) {
        m_hasHighSurrogate = false;
        if (IS_LOW_SURROGATE(unit)) {
            text[at++] = m_highSurrogate;
            text[at++] = unit;
            return at;
        }
        text[at++] = kReplacement; // and the unit is read for itself
    }
    if (IS_HIGH_SURROGATE(unit)) {
        m_highSurrogate = unit;
        m_hasHighSurrogate = true;
    } else if (IS_LOW_SURROGATE(unit)) {
        text[at++] = kReplacement;
    } else if (unit != 0) {
        text[at++] = unit;
    }
    return at;
}

void Utf16TextDecoder::Append(const BYTE* bytes, DWORD count, CString& out) {
    const BYTE* at = bytes;
    const BYTE* const end = bytes + count;
    std::basic_string<WCHAR>& text = out.str();
    std::size_t length = text.size();
    // Room for every unit of the chunk, the byte held back from the last one
    // and a high surrogate that turns out to have no partner.
    text.resize(length + count / 2 + 2);
    if (m_hasOddByte && at < end) {
        m_hasOddByte = false;
        const BYTE pair[2] = {m_oddByte, *at++};
        const auto unit =
            static_cast<WCHAR>(m_bigEndian ? (pair[0] << 8) | pair[1] : (pair[1] << 8) | pair[0]);
        length = Take(unit, text, length);
    }
    for (; end - at >= 2; at += 2) {
        const auto unit =
            static_cast<WCHAR>(m_bigEndian ? (at[0] << 8) | at[1] : (at[1] << 8) | at[0]);
        length = Take(unit, text, length);
    }
    if (at < end) {
        m_oddByte = *at;
        m_hasOddByte = true;
    }
    text.resize(length);
}

void Utf16TextDecoder::Finish(CString& out) {
    if (m_hasHighSurrogate) {
        m_hasHighSurrogate = false;
        out += kReplacement;
    }
    if (m_hasOddByte) {
        m_hasOddByte = false;
        out += kReplacement;
    }
}
