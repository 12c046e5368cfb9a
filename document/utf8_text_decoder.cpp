#include "document/utf8_text_decoder.h"

#include "platform/win32/codepage.h"

#include <algorithm>
#include <cstring>

namespace {

// The length of the character that lead begins, from its high bits; 0 for a
// byte that begins none. Whether the whole is valid is the conversion's
// business: this only tells how many bytes to wait for.
std::size_t CharacterLength(BYTE lead) {
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC0 && lead < 0xE0) {
        return 2;
    }
    if (lead >= 0xE0 && lead < 0xF0) {
        return 3;
    }
    if (lead >= 0xF0 && lead < 0xF8) {
        return 4;
    }
    return 0;
}

// How many bytes at the end of a run begin a character that the run does
// not complete: the last byte that is not a continuation byte, if the
// character it begins is longer than what follows it.
std::size_t OpenTail(const BYTE* bytes, std::size_t count) {
    for (std::size_t back = 1; back <= 3 && back <= count; ++back) {
        const BYTE b = bytes[count - back];
        if ((b & 0xC0) != 0x80) {
            return CharacterLength(b) > back ? back : 0;
        }
    }
    return 0;
}

} // namespace

bool Utf8TextDecoder::Convert(const BYTE* bytes, std::size_t count, CString& out) {
    // One strict conversion per run: it both checks and converts. Runs never
    // exceed a chunk, far below INT_MAX.
    if (count == 0) {
        return true;
    }
    std::basic_string<WCHAR>& text = out.str();
    const std::size_t start = text.size();
    // A byte never gives more than one UTF-16 unit, so as many units as bytes
    // is room enough.
    text.resize(start + count);
    const int length = static_cast<int>(count);
    const int written =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, reinterpret_cast<LPCSTR>(bytes), length,
                            text.data() + start, length);
    if (written <= 0) {
        text.resize(start);
        return false;
    }
    text.resize(start + static_cast<std::size_t>(written));
    // Only ASCII gives one unit for every byte.
    m_tookOnlyAscii = m_tookOnlyAscii && written == length;
    // A zero byte is a character of its own in UTF-8, never part of another,
    // so it can be dropped after the conversion.
    if (std::memchr(bytes, 0, count) != nullptr) {
        text.erase(
            std::remove(text.begin() + static_cast<std::ptrdiff_t>(start), text.end(), TEXT('\0')),
            text.end());
    }
    return true;
}

bool Utf8TextDecoder::Append(const BYTE* bytes, DWORD count, CString& out) {
    const std::size_t before = out.str().size();
    const BYTE* at = bytes;
    const BYTE* const end = bytes + count;

    if (m_heldCount > 0) {
        // The character the last chunk began is completed from this one, in
        // a buffer of its own; the rest is converted where it stands.
        const std::size_t length = CharacterLength(m_held[0]);
        BYTE character[4];
        std::copy_n(m_held, m_heldCount, character);
        std::size_t have = m_heldCount;
        while (have < length && at < end) {
            character[have++] = *at++;
        }
        if (have < length) {
            std::copy_n(character, have, m_held); // a chunk too short to complete it
            m_heldCount = have;
            return true;
        }
        if (!Convert(character, length, out)) {
            return false;
        }
        m_heldCount = 0;
    }

    const auto run = static_cast<std::size_t>(end - at);
    const std::size_t open = OpenTail(at, run);
    if (!Convert(at, run - open, out)) {
        out.str().resize(before);
        return false;
    }
    std::copy(end - open, end, m_held);
    m_heldCount = open;
    return true;
}
