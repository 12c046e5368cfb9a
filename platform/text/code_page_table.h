// The mapping of one ANSI code page, read out of ICU once and then used on
// its own. Conversions run on these flat tables rather than through ICU's
// converters because the Win32 rules (default characters, composite flags,
// what an incomplete double-byte sequence becomes, exact size queries) are
// ours to apply, and a table lookup per character is as fast as it gets.
#pragma once

#include "platform/win32/types.h"

#include <array>
#include <cstdint>
#include <vector>

namespace text {

class CodePageTable {
public:
    // Marks a byte sequence or a code point with no mapping.
    static constexpr char16_t kNoChar = 0xFFFF;
    static constexpr std::uint16_t kNoBytes = 0xFFFF;

    // The table for a Win32 code page number, built on first use from ICU's
    // converter of the same number; nullptr when ICU has no single- or
    // double-byte converter for it. Thread-safe; tables live until exit.
    static const CodePageTable* find(UINT code_page);

    UINT codePage() const { return code_page_; }
    bool doubleByte() const { return double_byte_; }

    bool isLeadByte(std::uint8_t b) const { return lead_[b]; }
    // Bytes that follow a lead byte in at least one assigned pair.
    bool isTrailByte(std::uint8_t b) const { return trail_[b]; }

    // Byte (not a lead byte) to UTF-16, kNoChar when unassigned.
    char16_t fromSingle(std::uint8_t b) const { return single_[b]; }
    // Lead and trail byte to UTF-16, kNoChar when unassigned.
    char16_t fromPair(std::uint8_t lead, std::uint8_t trail) const {
        return pairs_[(std::size_t(lead) << 8) | trail];
    }
    // A BMP code point to its bytes: below 0x100 a single byte, otherwise
    // lead << 8 | trail; kNoBytes when the code page cannot represent it.
    // Only round-trip mappings are present: no best fit.
    std::uint16_t toBytes(char16_t c) const { return to_bytes_[c]; }

    // Whether every ASCII character is its own single byte (true of every
    // ANSI code page), so that runs of ASCII are copied, not looked up.
    bool asciiAsIs() const { return ascii_as_is_; }
    // Whether U+00A0 to U+00FF are their own single bytes too (1252's letters).
    bool latin1AsIs() const { return latin1_as_is_; }
    // The other way: whether every byte below 0x80 reads as its own
    // character, so that runs of them are widened, not looked up.
    bool asciiReadsAsIs() const { return ascii_reads_as_is_; }
    // And whether bytes 0xA0 to 0xFF do too (1252's letters).
    bool latin1ReadsAsIs() const { return latin1_reads_as_is_; }

    // What an unassigned byte sequence becomes (Win32 uses the katakana
    // middle dot for 932 and a question mark for every other page).
    char16_t unicodeDefault() const { return unicode_default_; }
    // The code page's own default character, in the toBytes encoding.
    std::uint16_t defaultBytes() const { return default_bytes_; }

private:
    CodePageTable() = default;
    static const CodePageTable* build(UINT code_page);

    UINT code_page_ = 0;
    bool double_byte_ = false;
    std::array<bool, 256> lead_{};
    std::array<bool, 256> trail_{};
    std::array<char16_t, 256> single_{};
    std::vector<char16_t> pairs_;         // 65536 entries, double-byte pages only
    std::vector<std::uint16_t> to_bytes_; // 65536 entries
    bool ascii_as_is_ = false;
    bool latin1_as_is_ = false;
    bool ascii_reads_as_is_ = false;
    bool latin1_reads_as_is_ = false;
    char16_t unicode_default_ = u'?';
    std::uint16_t default_bytes_ = '?';
};

} // namespace text
