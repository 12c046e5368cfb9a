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

    UINT codePage() const { return codePage_; }
    bool doubleByte() const { return doubleByte_; }

    bool isLeadByte(std::uint8_t b) const { return lead_[b]; }
    // Bytes that follow a lead byte in at least one assigned pair.
    bool isTrailByte(std::uint8_t b) const { return trail_[b]; }

    // Byte (not a lead byte) to UTF-16, kNoChar when unassigned.
    char16_t fromSingle(std::uint8_t b) const { return single_[b]; }
    // Lead and trail byte to UTF-16, kNoChar when unassigned.
    char16_t fromPair(std::uint8_t lead, std::uint8_t trail) const {
        return pairs_[(std::size_t(lead) << 8) | trail];
    }
    // The character two bytes begin with, given as they lie in memory read
    // as a little-endian word (first | second << 8): the pair's where the
    // first is a lead byte, else the first byte's alone; kNoChar where that
    // is unassigned. One look-up for either kind of character lets a
    // decoder go without a branch between them. Double-byte pages only.
    char16_t fromTwoBytes(std::uint16_t first_second) const { return twoBytes_[first_second]; }
    // Whether the lead bytes are all the bytes from firstLead() to
    // lastLead() (0x81 to 0xFE on 936, 949 and 950), so that they can be
    // found many at a time; false on single-byte pages.
    bool leadsInOneRange() const { return leadsInOneRange_; }
    std::uint8_t firstLead() const { return firstLead_; }
    std::uint8_t lastLead() const { return lastLead_; }
    // A BMP code point to its bytes: below 0x100 a single byte, otherwise
    // lead << 8 | trail; kNoBytes when the code page cannot represent it.
    // Only round-trip mappings are present: no best fit.
    std::uint16_t toBytes(char16_t c) const { return toBytes_[c]; }

    // Whether every ASCII character is its own single byte (true of every
    // ANSI code page), so that runs of ASCII are copied, not looked up.
    bool asciiAsIs() const { return asciiAsIs_; }
    // Whether U+00A0 to U+00FF are their own single bytes too (1252's letters).
    bool latin1AsIs() const { return latin1AsIs_; }
    // The other way: whether every byte below 0x80 reads as its own
    // character, so that runs of them are widened, not looked up.
    bool asciiReadsAsIs() const { return asciiReadsAsIs_; }
    // And whether bytes 0xA0 to 0xFF do too (1252's letters).
    bool latin1ReadsAsIs() const { return latin1ReadsAsIs_; }

    // What an unassigned byte sequence becomes (Win32 uses the katakana
    // middle dot for 932 and a question mark for every other page).
    char16_t unicodeDefault() const { return unicodeDefault_; }
    // The code page's own default character, in the toBytes encoding.
    std::uint16_t defaultBytes() const { return defaultBytes_; }

private:
    CodePageTable() = default;
    static const CodePageTable* build(UINT code_page);

    UINT codePage_ = 0;
    bool doubleByte_ = false;
    std::array<bool, 256> lead_{};
    std::array<bool, 256> trail_{};
    std::array<char16_t, 256> single_{};
    std::vector<char16_t> pairs_;        // 65536 entries, double-byte pages only
    std::vector<char16_t> twoBytes_;     // 65536 entries, double-byte pages only
    std::vector<std::uint16_t> toBytes_; // 65536 entries
    bool asciiAsIs_ = false;
    bool latin1AsIs_ = false;
    bool asciiReadsAsIs_ = false;
    bool latin1ReadsAsIs_ = false;
    bool leadsInOneRange_ = false;
    std::uint8_t firstLead_ = 0;
    std::uint8_t lastLead_ = 0;
    char16_t unicodeDefault_ = u'?';
    std::uint16_t defaultBytes_ = '?';
};

} // namespace text
