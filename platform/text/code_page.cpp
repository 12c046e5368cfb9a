// WideCharToMultiByte, MultiByteToWideChar, GetACP and IsDBCSLeadByteEx with
// Win32's rules, over the tables of code_page_table.cpp. The rules chosen
// where Win32's documentation is silent are written up in docs/codepages.md.
#include "platform/text/ansi_code_page.h"
#include "platform/text/bounded_output.h"
#include "platform/text/code_page_table.h"
#include "platform/text/composition.h"
#include "platform/text/unit_runs.h"
#include "platform/text/utf8_page.h"
#include "platform/win32/codepage.h"
#include "platform/win32/kernel.h"

#include <bit>
#include <climits>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

using text::BoundedOutput;
using text::CodePageTable;

constexpr DWORD kCompositeChoices = WC_SEPCHARS | WC_DEFAULTCHAR | WC_DISCARDNS;
constexpr DWORD kWideFlags = WC_COMPOSITECHECK | kCompositeChoices | WC_NO_BEST_FIT_CHARS;
constexpr DWORD kMultiFlags =
    MB_PRECOMPOSED | MB_COMPOSITE | MB_USEGLYPHCHARS | MB_ERR_INVALID_CHARS;

int Fail(DWORD error) {
    SetLastError(error);
    return 0;
}

template <typename Unit> int Finish(const BoundedOutput<Unit>& out) {
    if (out.overflow()) {
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    if (out.count() > static_cast<std::size_t>(INT_MAX)) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    return static_cast<int>(out.count());
}

UINT Resolve(UINT codePage) {
    return codePage == CP_ACP ? GetACP() : codePage;
}

// The code point at s[i], pairing surrogates; len receives its length in units.
char32_t CodePointAt(const char16_t* s, std::size_t i, std::size_t n, std::size_t& len) {
    const char32_t c = s[i];
    if (i + 1 < n && IS_SURROGATE_PAIR(s[i], s[i + 1])) {
        len = 2;
        return 0x10000 + ((c - 0xD800) << 10) + (char32_t(s[i + 1]) - 0xDC00);
    }
    len = 1;
    return c;
}

enum class Composite { Off, Separate, Default, Discard };

class Encoder {
public:
    Encoder(const CodePageTable& table, std::uint16_t defaultBytes, BoundedOutput<char>& out)
        : table_(table), defaultBytes_(defaultBytes), out_(out) {}

    bool putBytes(std::uint16_t seq) {
        return seq < 0x100 ? out_.put(static_cast<char>(seq))
                           : out_.put(static_cast<char>(seq >> 8), static_cast<char>(seq & 0xFF));
    }
    bool putDefault() {
        usedDefault_ = true;
        return putBytes(defaultBytes_);
    }
    bool putChar(char32_t c) {
        const std::uint16_t seq =
            c < 0x10000 ? table_.toBytes(static_cast<char16_t>(c)) : CodePageTable::kNoBytes;
        return seq == CodePageTable::kNoBytes ? putDefault() : putBytes(seq);
    }
    bool representable(char32_t c) const {
        return c < 0x10000 && table_.toBytes(static_cast<char16_t>(c)) != CodePageTable::kNoBytes;
    }
    bool usedDefault() const { return usedDefault_; }
    bool asciiAsIs() const { return table_.asciiAsIs(); }
    bool latin1AsIs() const { return table_.latin1AsIs(); }
    const CodePageTable& table() const { return table_; }
    BoundedOutput<char>& out() { return out_; }

private:
    const CodePageTable& table_;
    std::uint16_t defaultBytes_;
    BoundedOutput<char>& out_;
    bool usedDefault_ = false;
};

bool IsSurrogate(char16_t c) {
    return IS_HIGH_SURROGATE(c) || IS_LOW_SURROGATE(c);
}

// The character at src[i] with what joins it (its surrogate partner, the
// nonspacing marks after it under a composite rule), moving i past them.
// False when the output is full.
bool EncodeCharacter(Composite rule, const std::uint64_t* marks, const char16_t* src, std::size_t n,
                     std::size_t& i, Encoder& enc) {
    // A BMP character with no mark after it.
    const char16_t unit = src[i];
    const char16_t next = i + 1 < n ? src[i + 1] : u'\0';
    if (!IsSurrogate(unit) && (marks == nullptr || next < 0x300 ||
                               (!IsSurrogate(next) && !text::IsNonspacingMark(marks, next)))) {
        ++i;
        return enc.putChar(unit);
    }
    std::size_t len = 1;
    char32_t base = CodePointAt(src, i, n, len);
    i += len;
    if (rule == Composite::Off || i == n || text::IsNonspacingMark(base)) {
        return enc.putChar(base);
    }
    // A base character and the nonspacing marks after it: fold each mark in
    // while the code page has the precomposed result.
    bool foldedAll = true;
    while (i < n) {
        const char32_t mark = CodePointAt(src, i, n, len);
        if (!text::IsNonspacingMark(mark)) {
            break;
        }
        const char32_t composed = text::ComposePair(base, mark);
        if (composed == 0 || !enc.representable(composed)) {
            foldedAll = false;
            break;
        }
        base = composed;
        i += len;
    }
    if (foldedAll || rule == Composite::Separate) {
        return enc.putChar(base); // separate: the remaining marks follow on their own
    }
    const bool ok = rule == Composite::Default ? enc.putDefault() : enc.putChar(base);
    // Default and discard both consume the remaining marks.
    while (i < n && text::IsNonspacingMark(CodePointAt(src, i, n, len))) {
        i += len;
    }
    return ok;
}

// Whether c, the unit after a character, may join it as a mark under a
// composite rule (marks != nullptr); a surrogate may be half of one.
bool MayJoin(const std::uint64_t* marks, char16_t c) {
    return marks != nullptr && c >= 0x300 && (IsSurrogate(c) || text::IsNonspacingMark(marks, c));
}

// The common case, with the output's place kept in registers, sixteen units
// at a time. A group whose units are their own bytes (ASCII, and Latin-1's
// letters where the page keeps them) or single bytes in the table goes out
// whole. Of any other group, the run of units that are their own bytes goes
// out, then characters the table gives bytes for, one by one up to the next
// ASCII unit (Chinese text). Moves i and the output past what it did. It
// leaves to EncodeCharacter what needs the rules: a surrogate, a character a
// mark may join, one the page lacks; and the end of the text and of the
// room, where what fits must be weighed.
template <bool kCounting>
void EncodeRuns(const CodePageTable& table, const std::uint64_t* marks, bool latin1,
                const char16_t* src, std::size_t n, std::size_t& i, BoundedOutput<char>& out) {
    auto* dst = reinterpret_cast<unsigned char*>(out.next());
    const std::size_t room = kCounting ? SIZE_MAX : out.left();
    std::size_t at = i;
    std::size_t w = 0;
    // A run takes at most 16 bytes, and a character after it 2.
    while (n - at >= 16 && room - w >= 18) {
        const text::SixteenUnits group(src + at, latin1);
        const unsigned own = group.asBytes();
        // A group whose other units are single bytes in the table, with no
        // mark or surrogate among them or right after, is still sixteen
        // bytes: stored whole, then those units' bytes put in their places.
        // Western text has one such unit every few groups.
        const unsigned others = ~own & 0xFFFFu;
        bool whole = at + 16 == n || !MayJoin(marks, src[at + 16]);
        for (unsigned left = others; left != 0 && whole; left &= left - 1) {
            const char16_t unit = src[at + static_cast<std::size_t>(std::countr_zero(left))];
            whole = table.toBytes(unit) < 0x100 && !IsSurrogate(unit) && !MayJoin(marks, unit);
        }
        if (whole) {
            if constexpr (!kCounting) {
                group.store(dst + w);
                for (unsigned left = others; left != 0; left &= left - 1) {
                    const auto k = static_cast<std::size_t>(std::countr_zero(left));
                    dst[w + k] = static_cast<unsigned char>(table.toBytes(src[at + k]));
                }
            }
            at += 16;
            w += 16;
            continue;
        }
        auto run = static_cast<std::size_t>(std::countr_one(own));
        if (run != 0 && MayJoin(marks, src[at + run])) {
            --run; // the mark's base goes with it, through the rules
        }
        if constexpr (!kCounting) {
            group.storeFirst(dst + w, run);
        }
        at += run;
        w += run;
        do {
            const char16_t unit = src[at];
            const std::uint16_t seq = table.toBytes(unit);
            if (IsSurrogate(unit) || seq == CodePageTable::kNoBytes ||
                (at + 1 < n && MayJoin(marks, src[at + 1]))) {
                out.wrote(w);
                i = at;
                return;
            }
            if (seq < 0x100) {
                if constexpr (!kCounting) {
                    dst[w] = static_cast<unsigned char>(seq);
                }
                ++w;
            } else {
                if constexpr (!kCounting) {
                    dst[w] = static_cast<unsigned char>(seq >> 8);
                    dst[w + 1] = static_cast<unsigned char>(seq & 0xFF);
                }
                w += 2;
            }
            ++at;
        } while (at < n && src[at] >= 0x80 && room - w >= 2);
    }
    out.wrote(w);
    i = at;
}

void EncodeTable(Composite rule, const char16_t* src, std::size_t n, Encoder& enc) {
    const std::uint64_t* marks = rule == Composite::Off ? nullptr : text::BmpNonspacingMarks();
    const bool copies = enc.asciiAsIs();
    const bool latin1 = enc.latin1AsIs();
    const bool counting = enc.out().next() == nullptr;
    std::size_t i = 0;
    while (i < n) {
        if (copies) {
            if (counting) {
                EncodeRuns<true>(enc.table(), marks, latin1, src, n, i, enc.out());
            } else {
                EncodeRuns<false>(enc.table(), marks, latin1, src, n, i, enc.out());
            }
            if (i == n) {
                return;
            }
        }
        if (!EncodeCharacter(rule, marks, src, n, i, enc)) {
            return;
        }
    }
}

std::uint16_t CallerDefault(const CodePageTable& table, LPCSTR lpDefaultChar) {
    if (lpDefaultChar == nullptr) {
        return table.defaultBytes();
    }
    const auto first = static_cast<unsigned char>(lpDefaultChar[0]);
    if (table.doubleByte() && table.isLeadByte(first) && lpDefaultChar[1] != 0) {
        return static_cast<std::uint16_t>((first << 8) |
                                          static_cast<unsigned char>(lpDefaultChar[1]));
    }
    return first;
}

// The character that begins at bytes[i], moving i past its bytes; kNoChar
// for bytes that make none. An unassigned pair is one bad character; a lead
// byte followed by a byte that cannot be a trail byte is bad alone, and the
// next byte (a line end, the terminator) is read for itself.
char16_t ReadCharacter(const CodePageTable& table, const unsigned char* bytes, std::size_t n,
                       std::size_t& i) {
    const unsigned char b = bytes[i];
    if (!table.isLeadByte(b)) {
        ++i;
        return table.fromSingle(b);
    }
    if (i + 1 == n) {
        ++i; // a lead byte with nothing after it
        return CodePageTable::kNoChar;
    }
    const unsigned char t = bytes[i + 1];
    const char16_t c = table.fromPair(b, t);
    // Asked in this order, the next position rarely waits for the look-up
    // of the pair: an assigned pair's second byte is always a trail byte.
    i += (table.isTrailByte(t) || c != CodePageTable::kNoChar) ? 2 : 1;
    return c;
}

constexpr std::size_t kUnreadable = SIZE_MAX;

// Chinese, Japanese and Korean text is mostly pairs with short runs of ASCII
// between them, and a loop that follows the bytes mispredicts at nearly every
// change from one to the other. So the kPairWindow bytes at bytes, bytes[0]
// starting a character, are decoded from a mask of their lead bytes where
// that gives what ReadCharacter gives. The byte after any byte that is no
// lead byte starts a character, whether that byte is a character itself or
// the second byte of a pair, so each run of lead bytes starts a character
// too, and while every pair is assigned (each is then taken whole), the run
// splits into pairs counted from its start: the last lead byte of a run of
// odd length takes the byte after the run. A window with anything
// unassigned goes the other way, one character at a time. A lead byte last
// in the window is left for the next window. Writes the characters at dst
// (at most kPairWindow units) and their count to written, reading the byte
// after the window too; answers the bytes decoded (the window, or all but
// that last lead byte), or 0 for a window left to the other path, which may
// have written to dst all the same. The page's lead bytes must be one range.
constexpr std::size_t kPairWindow = 64;

std::size_t DecodePairWindow(const CodePageTable& table, const unsigned char* bytes, char16_t* dst,
                             std::size_t& written) {
    constexpr std::uint64_t kEven = 0x5555555555555555ull; // positions 0, 2, 4, ...
    constexpr std::uint64_t kLast = 1ull << (kPairWindow - 1);
    std::uint64_t leadBytes = 0;
    for (std::size_t k = 0; k < kPairWindow; k += 16) {
        leadBytes |=
            std::uint64_t{text::RangeBitsSixteen(bytes + k, table.firstLead(), table.lastLead())}
            << k;
    }
    const std::uint64_t runStarts = leadBytes & ~(leadBytes << 1);
    // Adding a run's first bit carries through the whole run, so this keeps
    // the runs that start at an even position; the pairs of those start at
    // even positions, the pairs of the other runs at odd ones.
    const std::uint64_t evenRuns = ((leadBytes + (runStarts & kEven)) ^ leadBytes) & leadBytes;
    const std::uint64_t leads = leadBytes & ~(evenRuns ^ kEven);
    const std::size_t open = (leads & kLast) != 0 ? 1 : 0;
    const std::uint64_t starts = ~(leads << 1) & ~(leads & kLast);

    // One look-up a character, whichever kind it is; the loop's one branch
    // is its end.
    std::size_t w = 0;
    unsigned anyUnassigned = 0;
    for (std::uint64_t m = starts; m != 0; m &= m - 1) {
        const auto k = static_cast<unsigned>(std::countr_zero(m));
        std::uint16_t two = 0;
        std::memcpy(&two, bytes + k, sizeof(two));
        const unsigned c = table.fromTwoBytes(two);
        dst[w++] = static_cast<char16_t>(c);
        anyUnassigned |= c + 1; // 0x10000 only from kNoChar
    }
    if ((anyUnassigned & 0x10000u) != 0) {
        return 0;
    }
    written = w;
    return kPairWindow - open;
}

// MultiByteToWideChar without composition into a buffer of at least n units,
// for a page that reads bytes below 0x80 as themselves. Runs of such bytes
// are widened sixteen at a time; a single-byte page widens every group and
// then looks up only its other bytes (only those from 0x80 to 0x9F where
// the page reads Latin-1's letters as themselves too); a double-byte page
// takes stretches of pairs and ASCII whole where it can (DecodePairWindow).
// Answers the units written, or kUnreadable when strict and a byte makes no
// character. Gives exactly the characters ReadCharacter gives one by one.
std::size_t DecodeIntoRoom(const CodePageTable& table, const unsigned char* bytes, std::size_t n,
                           bool strict, char16_t* dst) {
    const bool single = !table.doubleByte();
    const bool windows = !single && table.leadsInOneRange();
    const bool latin1 = table.latin1ReadsAsIs();
    const char16_t fallback = table.unicodeDefault();
    std::size_t i = 0;
    std::size_t w = 0;
    while (i < n) {
        if (n - i >= 16) {
            if (single) { // one unit a byte: w == i, and the group has its room
                unsigned high = text::WidenSixteen(bytes + i, dst + w);
                if (latin1) {
                    high = text::C1BitsSixteen(bytes + i);
                }
                for (; high != 0; high &= high - 1) {
                    const auto k = static_cast<std::size_t>(std::countr_zero(high));
                    char16_t c = table.fromSingle(bytes[i + k]);
                    if (c == CodePageTable::kNoChar) {
                        if (strict) {
                            return kUnreadable;
                        }
                        c = fallback;
                    }
                    dst[w + k] = c;
                }
                i += 16;
                w += 16;
                continue;
            }
            const unsigned high = text::HighBitsSixteen(bytes + i);
            if (high == 0) { // w <= i: the sixteen units fit
                text::WidenSixteen(bytes + i, dst + w);
                i += 16;
                w += 16;
                continue;
            }
            if (windows && n - i > kPairWindow) {
                std::size_t written = 0;
                if (const std::size_t used = DecodePairWindow(table, bytes + i, dst + w, written)) {
                    i += used;
                    w += written;
                    continue;
                }
            }
            const auto ascii = static_cast<std::size_t>(std::countr_zero(high));
            for (std::size_t k = 0; k < ascii; ++k) {
                dst[w + k] = bytes[i + k];
            }
            i += ascii;
            w += ascii;
        }
        // Assigned pairs, as long as they come; then characters one by one,
        // up to the next ASCII byte.
        while (i + 1 < n && table.isLeadByte(bytes[i])) {
            const char16_t c = table.fromPair(bytes[i], bytes[i + 1]);
            if (c == CodePageTable::kNoChar) {
                break;
            }
            dst[w++] = c;
            i += 2;
        }
        if (i == n) {
            break;
        }
        do {
            char16_t c = ReadCharacter(table, bytes, n, i);
            if (c == CodePageTable::kNoChar) {
                if (strict) {
                    return kUnreadable;
                }
                c = fallback;
            }
            dst[w++] = c;
        } while (i < n && bytes[i] >= 0x80);
    }
    return w;
}

} // namespace

int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                        LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                        LPBOOL lpUsedDefaultChar) {
    if (lpWideCharStr == nullptr || cchWideChar == 0 || cbMultiByte < 0 ||
        (cbMultiByte > 0 && lpMultiByteStr == nullptr) ||
        static_cast<const void*>(lpMultiByteStr) == static_cast<const void*>(lpWideCharStr)) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    // A negative length means zero-terminated, the terminator converted too.
    const std::size_t n = cchWideChar < 0 ? std::char_traits<char16_t>::length(lpWideCharStr) + 1
                                          : static_cast<std::size_t>(cchWideChar);
    BoundedOutput<char> out(cbMultiByte == 0 ? nullptr : lpMultiByteStr,
                            static_cast<std::size_t>(cbMultiByte));
    const UINT codePage = Resolve(CodePage);

    if (codePage == CP_UTF8) {
        if ((dwFlags & ~WC_ERR_INVALID_CHARS) != 0) {
            return Fail(ERROR_INVALID_FLAGS);
        }
        if (lpDefaultChar != nullptr || lpUsedDefaultChar != nullptr) {
            return Fail(ERROR_INVALID_PARAMETER);
        }
        if (!text::EncodeUtf8({lpWideCharStr, n}, (dwFlags & WC_ERR_INVALID_CHARS) != 0, out)) {
            return Fail(ERROR_NO_UNICODE_TRANSLATION);
        }
        return Finish(out);
    }

    const CodePageTable* table = CodePageTable::find(codePage);
    if (table == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if ((dwFlags & ~kWideFlags) != 0 || std::popcount(dwFlags & kCompositeChoices) > 1) {
        return Fail(ERROR_INVALID_FLAGS);
    }
    Composite rule = Composite::Off;
    if ((dwFlags & WC_COMPOSITECHECK) != 0) {
        rule = (dwFlags & WC_DEFAULTCHAR) ? Composite::Default
               : (dwFlags & WC_DISCARDNS) ? Composite::Discard
                                          : Composite::Separate; // the documented default
    }
    Encoder enc(*table, CallerDefault(*table, lpDefaultChar), out);
    EncodeTable(rule, lpWideCharStr, n, enc);
    if (lpUsedDefaultChar != nullptr) {
        *lpUsedDefaultChar = enc.usedDefault() ? TRUE : FALSE;
    }
    return Finish(out);
}

int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                        LPWSTR lpWideCharStr, int cchWideChar) {
    if (lpMultiByteStr == nullptr || cbMultiByte == 0 || cchWideChar < 0 ||
        (cchWideChar > 0 && lpWideCharStr == nullptr) ||
        static_cast<const void*>(lpMultiByteStr) == static_cast<const void*>(lpWideCharStr)) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    const std::size_t n =
        cbMultiByte < 0 ? std::strlen(lpMultiByteStr) + 1 : static_cast<std::size_t>(cbMultiByte);
    BoundedOutput<char16_t> out(cchWideChar == 0 ? nullptr : lpWideCharStr,
                                static_cast<std::size_t>(cchWideChar));
    const bool strict = (dwFlags & MB_ERR_INVALID_CHARS) != 0;
    const UINT codePage = Resolve(CodePage);

    if (codePage == CP_UTF8) {
        if ((dwFlags & ~MB_ERR_INVALID_CHARS) != 0) {
            return Fail(ERROR_INVALID_FLAGS);
        }
        if (!text::DecodeUtf8({lpMultiByteStr, n}, strict, out)) {
            return Fail(ERROR_NO_UNICODE_TRANSLATION);
        }
        return Finish(out);
    }

    const CodePageTable* table = CodePageTable::find(codePage);
    if (table == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if ((dwFlags & ~kMultiFlags) != 0 ||
        (dwFlags & (MB_PRECOMPOSED | MB_COMPOSITE)) == (MB_PRECOMPOSED | MB_COMPOSITE)) {
        return Fail(ERROR_INVALID_FLAGS);
    }
    // The ANSI pages have no glyph forms for their control codes, so
    // MB_USEGLYPHCHARS changes nothing for them.
    const bool decompose = (dwFlags & MB_COMPOSITE) != 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(lpMultiByteStr);
    if (!decompose && table->asciiReadsAsIs()) {
        // No byte gives more than one unit, so a buffer with room for as many
        // units as bytes cannot overflow: the common case, taken in runs.
        if (char16_t* room = out.room(n)) {
            const std::size_t written = DecodeIntoRoom(*table, bytes, n, strict, room);
            if (written == kUnreadable) {
                return Fail(ERROR_NO_UNICODE_TRANSLATION);
            }
            out.wrote(written);
            return Finish(out);
        }
    }
    std::u16string parts;
    std::size_t i = 0;
    while (i < n) {
        char16_t c = ReadCharacter(*table, bytes, n, i);
        if (c == CodePageTable::kNoChar) {
            if (strict) {
                return Fail(ERROR_NO_UNICODE_TRANSLATION);
            }
            c = table->unicodeDefault();
        }
        if (decompose && c >= 0xC0) {
            parts.clear();
            text::AppendDecomposed(parts, c);
            for (char16_t u : parts) {
                if (!out.put(u)) {
                    break;
                }
            }
        } else {
            out.put(c);
        }
        if (out.overflow()) {
            break;
        }
    }
    return Finish(out);
}

UINT GetACP() {
    // Chosen once, as a device's regional setting is fixed while it runs.
    static const UINT acp = text::AnsiCodePageForLocale(text::LocaleFromEnvironment());
    return acp;
}

UINT GetOEMCP() {
    static const UINT oemcp = text::OemCodePageForLocale(text::LocaleFromEnvironment());
    return oemcp;
}

BOOL IsDBCSLeadByteEx(UINT CodePage, BYTE TestChar) {
    const UINT codePage = Resolve(CodePage);
    if (codePage == CP_UTF8) {
        return FALSE;
    }
    const CodePageTable* table = CodePageTable::find(codePage);
    if (table == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return table->isLeadByte(TestChar) ? TRUE : FALSE;
}
