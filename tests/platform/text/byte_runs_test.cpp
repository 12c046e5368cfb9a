// MultiByteToWideChar widens runs of ASCII sixteen bytes at a time and looks
// up only the other bytes. Whatever the alignment of a run, and wherever a
// conversion starts or stops, it must give the characters that reading the
// table one character at a time gives.
#include "platform/text/code_page_table.h"
#include "platform/win32/codepage.h"
#include "platform/win32/kernel.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <vector>

namespace {

using text::CodePageTable;

// The table read one character at a time: a lead byte takes the next byte
// when it is a trail byte or the pair is assigned; what makes no character
// is the page's default character, and `bad` is set.
std::u16string OneByOne(const CodePageTable& table, std::string_view bytes, bool& bad) {
    std::u16string text;
    bad = false;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<std::uint8_t>(bytes[i]);
        char16_t c = CodePageTable::kNoChar;
        if (!table.isLeadByte(b)) {
            c = table.fromSingle(b);
            ++i;
        } else if (i + 1 < bytes.size()) {
            const auto t = static_cast<std::uint8_t>(bytes[i + 1]);
            c = table.fromPair(b, t);
            i += c != CodePageTable::kNoChar || table.isTrailByte(t) ? 2 : 1;
        } else {
            ++i;
        }
        if (c == CodePageTable::kNoChar) {
            bad = true;
            c = table.unicodeDefault();
        }
        text += c;
    }
    return text;
}

// Runs of ASCII of every length up to 40 (CR LF among them) between one to
// four other bytes: any byte from 0x80 up, and for a double-byte page a
// lead byte with a trail byte of either half. The same bytes every run.
std::string MixedBytes(const CodePageTable& table, std::size_t size) {
    std::uint32_t state = 12345;
    const auto next = [&state](std::uint32_t below) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % below;
    };
    std::string bytes;
    while (bytes.size() < size) {
        const std::uint32_t run = next(41);
        for (std::uint32_t k = 0; k < run; ++k) {
            bytes += k % 23 == 22 ? '\r' : static_cast<char>('!' + next(94));
            if (k % 23 == 22) {
                bytes += '\n';
            }
        }
        for (std::uint32_t k = 1 + next(4); k > 0; --k) {
            const auto high = static_cast<std::uint8_t>(0x80 + next(0x80));
            bytes += static_cast<char>(high);
            if (table.isLeadByte(high) && next(4) != 0) {
                bytes += static_cast<char>(next(2) != 0 ? 0x40 + next(0x3F) : 0xA1 + next(0x5E));
            }
        }
    }
    bytes.resize(size);
    return bytes;
}

std::u16string Convert(UINT codePage, DWORD flags, std::string_view bytes, int room, int& result) {
    std::u16string text(static_cast<std::size_t>(room), u'\0');
    result = MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()),
                                 text.data(), room);
    text.resize(result > 0 ? static_cast<std::size_t>(result) : 0);
    return text;
}

// 1252 and 1251 (single bytes, with and without Latin-1's letters as
// themselves), 936, 932, 949 and 950 (pairs).
class ByteRuns : public testing::TestWithParam<UINT> {};

TEST_P(ByteRuns, EveryStartAndLengthReadsAsTheTableOneByOne) {
    const CodePageTable* table = CodePageTable::find(GetParam());
    ASSERT_NE(table, nullptr);
    const std::string bytes = MixedBytes(*table, 700);
    for (std::size_t start = 0; start < 32; ++start) {
        for (std::size_t length = 1; start + length <= bytes.size();
             length += length < 80 ? 1 : 97) {
            const std::string_view part = std::string_view(bytes).substr(start, length);
            bool bad = false;
            const std::u16string expected = OneByOne(*table, part, bad);
            const int room = static_cast<int>(length);
            int result = 0;
            ASSERT_EQ(Convert(GetParam(), 0, part, room, result), expected)
                << "from " << start << ", " << length << " bytes";
            // Room for exactly the characters: the bytes are not all single.
            EXPECT_EQ(Convert(GetParam(), 0, part, static_cast<int>(expected.size()), result),
                      expected)
                << "from " << start << ", " << length << " bytes, no room to spare";
            // Strict: all or nothing.
            const std::u16string strict =
                Convert(GetParam(), MB_ERR_INVALID_CHARS, part, room, result);
            if (bad) {
                EXPECT_EQ(result, 0) << "from " << start << ", " << length << " bytes";
                EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
            } else {
                EXPECT_EQ(strict, expected) << "from " << start << ", " << length << " bytes";
            }
        }
    }
}

TEST_P(ByteRuns, TooLittleRoomStillFailsAsBefore) {
    const CodePageTable* table = CodePageTable::find(GetParam());
    ASSERT_NE(table, nullptr);
    const std::string bytes = MixedBytes(*table, 200);
    bool bad = false;
    const std::u16string expected = OneByOne(*table, bytes, bad);
    int result = 0;
    Convert(GetParam(), 0, bytes, static_cast<int>(expected.size()) - 1, result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

INSTANTIATE_TEST_SUITE_P(CodePages, ByteRuns,
                         testing::Values(1252u, 1251u, 936u, 932u, 949u, 950u));

} // namespace

namespace {

// WideCharToMultiByte copies long runs of units that are their own bytes at
// once. A run may end just before a nonspacing mark that joins its last
// unit, at any length: each size query and conversion must give what the
// text gives converted a character and its marks at a time.
std::string Narrow(UINT codePage, DWORD flags, std::u16string_view units, bool& usedDefault) {
    BOOL used = FALSE;
    const int size =
        WideCharToMultiByte(codePage, flags, units.data(), static_cast<int>(units.size()), nullptr,
                            0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(2 * units.size() + 2), '\0');
    const int written =
        WideCharToMultiByte(codePage, flags, units.data(), static_cast<int>(units.size()),
                            bytes.data(), static_cast<int>(bytes.size()), nullptr, &used);
    EXPECT_EQ(size, written) << "the size query counts what the conversion writes";
    usedDefault = usedDefault || used != FALSE;
    bytes.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
    return bytes;
}

std::string ByCharacters(UINT codePage, DWORD flags, std::u16string_view units, bool& usedDefault) {
    std::string bytes;
    for (std::size_t from = 0; from < units.size();) {
        std::size_t to = from + 1;
        while (to < units.size() && units[to] >= 0x300) {
            ++to;
        }
        bytes += Narrow(codePage, flags, units.substr(from, to - from), usedDefault);
        from = to;
    }
    return bytes;
}

TEST(UnitRuns, RunsOfEveryLengthBeforeAMarkConvertAsCharacterByCharacter) {
    const std::u16string tails[] = {u"\u0301",       u"\u0308\u0301x", u"\u20AC",
                                    u"\u00E9\u0301", u"\u4E2D",        u"\u0E01\u0301"};
    for (const UINT codePage : {1252u, 936u}) {
        for (const DWORD flags : {0x0u, 0x220u, 0x240u}) {
            for (std::size_t length = 0; length <= 50; ++length) {
                for (const std::u16string& tail : tails) {
                    std::u16string units;
                    for (std::size_t k = 0; k < length; ++k) {
                        units += k % 7 == 6 ? u'\u00E8' : static_cast<char16_t>(u'a' + k % 26);
                    }
                    units += tail;
                    units += u"tail of the text";
                    bool whole = false;
                    bool pieces = false;
                    EXPECT_EQ(Narrow(codePage, flags, units, whole),
                              ByCharacters(codePage, flags, units, pieces))
                        << "code page " << codePage << ", flags " << flags << ", " << length
                        << " units before the tail";
                    EXPECT_EQ(whole, pieces);
                }
            }
        }
    }
}

// A group of sixteen units goes out whole when its units that are not their
// own bytes are single bytes in the table; a mark the page has as a byte of
// its own (1258's accents, 1255's points) must still join the unit before
// it, and anything else must leave the group to the rules. Each kind of
// unit, at every place in a group and across two groups, converts as the
// text a character and its marks at a time, and nothing is written past the
// bytes counted, even where the rules give fewer bytes than units.
TEST(UnitRuns, OtherUnitsAtEveryPlaceInAGroupConvertAsCharacterByCharacter) {
    const std::u16string others[] = {
        u"\u20AC",       u"\u2019\u201C",  u"\u0301",
        u"a\u0301",      u"\u20AB\u0303",  u"\u05D0\u05B8",
        u"\u00E8\u0301", u"x\u0308\u0301", u"\u4E2D",
        u"\u0100",       u"\U0001F600",    u"\U0001F600\U0001F600\U0001F600\U0001F600",
        u"\xD800x",      u"\u0416\u0436"};
    for (const UINT codePage : {1252u, 1258u, 1255u, 1251u, 936u}) {
        for (const DWORD flags : {0x0u, 0x220u, 0x240u, 0x210u}) {
            for (const std::u16string& other : others) {
                for (std::size_t place = 0; place <= 34; ++place) {
                    std::u16string units;
                    for (std::size_t k = 0; k < 48; ++k) {
                        if (k == place) {
                            units += other;
                        }
                        units += k % 5 == 4 ? u'\u00E9' : static_cast<char16_t>(u'a' + k % 26);
                    }
                    const std::string context = "code page " + std::to_string(codePage) +
                                                ", flags " + std::to_string(flags) + ", at " +
                                                std::to_string(place);
                    bool whole = false;
                    bool pieces = false;
                    const std::string expected = ByCharacters(codePage, flags, units, pieces);
                    ASSERT_EQ(Narrow(codePage, flags, units, whole), expected) << context;
                    EXPECT_EQ(whole, pieces) << context;

                    // Room to spare, exactly enough, one byte short: the
                    // bytes after what was written keep their canary.
                    const auto size = static_cast<int>(expected.size());
                    for (const int room : {size + 20, size, size - 1}) {
                        std::string out(static_cast<std::size_t>(size) + 20, '\xA5');
                        SetLastError(0);
                        const int written = WideCharToMultiByte(codePage, flags, units.data(),
                                                                static_cast<int>(units.size()),
                                                                out.data(), room, nullptr, nullptr);
                        if (room >= size) {
                            EXPECT_EQ(written, size) << context << ", room " << room;
                            EXPECT_EQ(out.substr(0, expected.size()), expected) << context;
                        } else {
                            EXPECT_EQ(written, 0) << context;
                            EXPECT_EQ(GetLastError(),
                                      static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
                        }
                        const std::size_t untouched =
                            static_cast<std::size_t>(room >= size ? size : room);
                        EXPECT_EQ(out.substr(untouched),
                                  std::string(out.size() - untouched, '\xA5'))
                            << context << ", room " << room;
                    }
                }
            }
        }
    }
}

} // namespace

namespace {

// On a double-byte page whose lead bytes are one range, stretches of text are
// decoded many bytes at a time, their characters found from a mask of lead
// bytes. Pairs ending below 0x80, bytes from 0x80 up that are no lead byte,
// unassigned pairs and lead bytes with nothing to pair with must all give
// exactly what the table read one character at a time gives, wherever they
// fall against the stretches the decoder takes.
struct PairText {
    std::vector<std::string> pairs; // assigned, some ending below 0x80
    std::string text;               // pairs, short runs of ASCII, CR LF
};

PairText MakePairText(const CodePageTable& table) {
    PairText made;
    for (unsigned lead = 0x80; lead < 0x100; ++lead) {
        for (unsigned trail = 0x40; trail < 0x100; trail += 7) {
            if (table.isLeadByte(static_cast<std::uint8_t>(lead)) &&
                table.fromPair(static_cast<std::uint8_t>(lead), static_cast<std::uint8_t>(trail)) !=
                    CodePageTable::kNoChar) {
                made.pairs.push_back({static_cast<char>(lead), static_cast<char>(trail)});
            }
        }
    }
    std::uint32_t state = 2024;
    const auto next = [&state](std::uint32_t below) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % below;
    };
    while (made.text.size() < 400 && !made.pairs.empty()) {
        for (std::uint32_t k = 1 + next(12); k > 0; --k) {
            made.text += made.pairs[next(static_cast<std::uint32_t>(made.pairs.size()))];
        }
        const std::uint32_t ascii = next(8);
        if (ascii == 0) {
            made.text += "\r\n";
        } else if (ascii < 4) {
            made.text.append(ascii, static_cast<char>('a' + next(26)));
        }
    }
    return made;
}

// Bytes that are not a plain pair, as found in the page's table; a case the
// page has no bytes for is left out.
struct Oddity {
    const char* what;
    std::string bytes;
};

std::vector<Oddity> Oddities(const CodePageTable& table) {
    std::vector<Oddity> found;
    const auto lead = [&table](std::uint8_t b) { return table.isLeadByte(b); };
    // The first two bytes, the first from 0x80 up, that fit; only the first
    // of them when `length` is 1.
    const auto add_first = [&found](const char* what, std::size_t length, auto&& fits) {
        for (unsigned a = 0x80; a < 0x100; ++a) {
            for (unsigned b = 0; b < 0x100; ++b) {
                if (fits(static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(b))) {
                    std::string bytes{static_cast<char>(a), static_cast<char>(b)};
                    bytes.resize(length);
                    found.push_back({what, bytes});
                    return;
                }
            }
        }
    };
    add_first("a byte from 0x80 up that is no lead byte, then ASCII", 2,
              [&](std::uint8_t a, std::uint8_t b) { return !lead(a) && b == 'x'; });
    add_first("an assigned pair ending below 0x80", 2, [&](std::uint8_t a, std::uint8_t b) {
        return lead(a) && b < 0x80 && table.fromPair(a, b) != CodePageTable::kNoChar;
    });
    add_first("an unassigned pair of a lead and a trail byte", 2,
              [&](std::uint8_t a, std::uint8_t b) {
                  return lead(a) && b >= 0x80 && table.isTrailByte(b) &&
                         table.fromPair(a, b) == CodePageTable::kNoChar;
              });
    add_first("a lead byte before a byte from 0x80 up that is no trail byte", 2,
              [&](std::uint8_t a, std::uint8_t b) {
                  return lead(a) && b >= 0x80 && !table.isTrailByte(b) &&
                         table.fromPair(a, b) == CodePageTable::kNoChar;
              });
    add_first("a lead byte before a line end", 2,
              [&](std::uint8_t a, std::uint8_t b) { return lead(a) && b == '\r'; });
    // One byte alone leaves an odd run of bytes from 0x80 up behind.
    add_first("a lead byte alone among pairs", 1,
              [&](std::uint8_t a, std::uint8_t) { return lead(a); });
    add_first("a byte from 0x80 up that is no lead byte, among pairs", 1,
              [&](std::uint8_t a, std::uint8_t) { return !lead(a); });
    return found;
}

// Converted from a buffer of exactly its size, into room for a unit a byte,
// lenient and strict, against the table read one character at a time.
void ExpectReadAsOneByOne(UINT codePage, const CodePageTable& table, const std::string& text,
                          const std::string& where) {
    bool bad = false;
    const std::u16string expected = OneByOne(table, text, bad);
    const std::vector<char> exact(text.begin(), text.end());
    for (const DWORD flags : {DWORD{0}, DWORD{MB_ERR_INVALID_CHARS}}) {
        std::u16string got(text.size(), u'\0');
        const int result =
            MultiByteToWideChar(codePage, flags, exact.data(), static_cast<int>(exact.size()),
                                got.data(), static_cast<int>(got.size()));
        got.resize(result > 0 ? static_cast<std::size_t>(result) : 0);
        if (flags != 0 && bad) {
            EXPECT_EQ(result, 0) << where << ", strict";
        } else {
            ASSERT_EQ(got, expected) << where << (flags != 0 ? ", strict" : ", lenient");
        }
    }
}

class PairWindows : public testing::TestWithParam<UINT> {};

TEST_P(PairWindows, TextOfPairsAndAsciiCutAnywhereReadsAsOneByOne) {
    const CodePageTable* table = CodePageTable::find(GetParam());
    ASSERT_NE(table, nullptr);
    const PairText made = MakePairText(*table);
    ASSERT_GE(made.pairs.size(), 100u);
    // Every start up to a window and a half of ASCII before it (so that the
    // pairs meet the windows' edges at every offset), every length: the last
    // pair is often cut, leaving a lead byte at the very end.
    for (std::size_t ascii = 0; ascii < 96; ++ascii) {
        const std::string text = std::string(ascii, 'q') + made.text;
        for (std::size_t length = ascii + 1; length <= text.size(); length += 1 + length % 5) {
            ExpectReadAsOneByOne(GetParam(), *table, text.substr(0, length),
                                 std::to_string(ascii) + " ASCII bytes, then pairs, " +
                                     std::to_string(length) + " bytes in all");
        }
    }
}

TEST_P(PairWindows, BytesOtherThanPlainPairsReadAsOneByOneWhereverTheyFall) {
    const CodePageTable* table = CodePageTable::find(GetParam());
    ASSERT_NE(table, nullptr);
    const PairText made = MakePairText(*table);
    const std::vector<Oddity> oddities = Oddities(*table);
    EXPECT_GE(oddities.size(), 5u);
    // Character boundaries of the text: where the odd bytes go in.
    std::vector<std::size_t> boundaries;
    for (std::size_t i = 0; i < 200;) {
        boundaries.push_back(i);
        i += static_cast<std::uint8_t>(made.text[i]) >= 0x80 ? 2 : 1;
    }
    for (const Oddity& odd : oddities) {
        for (std::size_t ascii = 0; ascii < 64; ascii += 3) {
            for (const std::size_t at : boundaries) {
                const std::string text = std::string(ascii, 'q') + made.text.substr(0, at) +
                                         odd.bytes + made.text.substr(at);
                ExpectReadAsOneByOne(GetParam(), *table, text,
                                     std::string(odd.what) + " after " + std::to_string(ascii) +
                                         " ASCII bytes and " + std::to_string(at) +
                                         " bytes of pairs");
                // And as the text's last bytes.
                ExpectReadAsOneByOne(
                    GetParam(), *table, text.substr(0, ascii + at + odd.bytes.size()),
                    std::string(odd.what) + " at the end, after " + std::to_string(ascii) +
                        " ASCII bytes and " + std::to_string(at) + " bytes of pairs");
            }
        }
    }
}

// 932 reads 0x1A, 0x1C and 0x7F as other control characters, so its text
// goes one character at a time; it stays here to show that it still does.
INSTANTIATE_TEST_SUITE_P(DoubleBytePages, PairWindows, testing::Values(936u, 949u, 950u, 932u));

} // namespace
