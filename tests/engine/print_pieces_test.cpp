// Long texts go out a piece at a time; the printer must get what one
// conversion of the whole text into a zeroed buffer of the size query's
// length plus one gives: the same bytes, in the same order, with the same
// zero bytes after them. Built twice: code page 1252 and code page 936.
#include "engine/print_stream.h"
#include "platform/win32/codepage.h"
#include "tests/engine/printer_line.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using namespace testing_support;

// The text framed in one piece: the size query of the whole text, a zeroed
// buffer one byte longer, the conversion into the size.
Bytes Whole(const std::u16string& s) {
    const int size =
        WideCharToMultiByte(CP_ACP, 0x220, s.c_str(), -1, nullptr, 0, nullptr, nullptr);
    Bytes out(static_cast<std::size_t>(size) + 1, 0);
    WideCharToMultiByte(CP_ACP, 0x240, s.c_str(), -1, reinterpret_cast<char*>(out.data()), size,
                        nullptr, nullptr);
    return out;
}

// Filler that stands alone wherever a cut may fall.
std::u16string Filler(std::size_t n, std::uint32_t& state) {
    static const std::u16string kinds[] = {u"word ", u"\u00E9t\u00E9 ", u"\u4E2D\u6587",
                                           u"\u20AC5 ", u"\r\n"};
    std::u16string s;
    while (s.size() < n) {
        state = state * 1664525u + 1013904223u;
        s += kinds[(state >> 8) % std::size(kinds)];
    }
    s.resize(n);
    return s;
}

using PrintPieces = OpenPrinterLine;

TEST_F(PrintPieces, LongTextsGoOutAsIfConvertedWhole) {
    // What joins across a place where a piece could end: a letter and the
    // marks after it (folding, or not, and so sized differently by the two
    // flag sets), a surrogate pair, a double-byte character; and a stretch
    // of a piece's length and more where no cut may fall at all.
    const std::u16string joins[] = {u"e\u0301", u"x\u0301\u0302", u"\U0001F600",
                                    u"\u4E2D",  u"a\u0308\u0308", u"\u0301"};
    std::uint32_t state = 99;
    for (const std::size_t piece : {std::size_t{1} << 16, std::size_t{3} << 16}) {
        for (const auto& join : joins) {
            for (const std::size_t before : {piece - 2, piece - 1, piece, piece + 1}) {
                const std::u16string s = Filler(before, state) + join + Filler(5000, state);
                EXPECT_TRUE(SendText(host, CString(s.c_str())));
                ASSERT_EQ(printer_.Drain(), Whole(s))
                    << "join " << join.size() << " units at " << before;
            }
        }
    }
    std::u16string noCut(70000, u'\u0416'); // Cyrillic letters only, no place to cut
    for (std::size_t i = 100; i < noCut.size(); i += 997) {
        noCut[i] = u'\u0301';
    }
    const std::u16string s = Filler(60000, state) + noCut + Filler(70000, state);
    EXPECT_TRUE(SendText(host, CString(s.c_str())));
    EXPECT_EQ(printer_.Drain(), Whole(s));
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(PrintPieces, AZeroInsideTheStringEndsTheText) {
    std::uint32_t state = 5;
    std::u16string s = Filler(150000, state);
    s[100000] = 0;
    EXPECT_TRUE(SendText(host, CString(s.c_str(), static_cast<int>(s.size()))));
    EXPECT_EQ(printer_.Drain(), Whole(s.substr(0, 100000)));
}

TEST_F(PrintPieces, AZeroAnywhereAroundAPiecesEndEndsTheTextThere) {
    // A zero where a piece would end, just before or after, at the start, at
    // the end; within a stretch where no piece may end, so that the zero is
    // where the piece ends; and a second zero after the first.
    std::uint32_t state = 11;
    std::u16string text = Filler(200000, state);
    std::u16string noCut = Filler(60000, state) + std::u16string(10000, u'\u0416');
    noCut += Filler(30000, state);
    const std::size_t piece = std::size_t{1} << 16;
    for (const std::u16string* base : {&text, &noCut}) {
        for (const std::size_t zero : {std::size_t{0}, std::size_t{1}, piece - 2, piece - 1, piece,
                                       piece + 1, piece + 5000, 2 * piece, base->size() - 1}) {
            if (zero >= base->size()) {
                continue; // the shorter text has no second piece's end
            }
            std::u16string s = *base;
            s[zero] = 0;
            if (zero + 10 < s.size()) {
                s[zero + 10] = 0;
            }
            EXPECT_TRUE(SendText(host, CString(s.c_str(), static_cast<int>(s.size()))));
            ASSERT_EQ(printer_.Drain(), Whole(s.substr(0, zero))) << "zero at " << zero;
        }
    }
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(PrintPieces, AFailedWriteStopsTheTextWithOneMessage) {
    std::uint32_t state = 7;
    const std::u16string s = Filler(400000, state);
    printer_.VanishAfter(70000);
    EXPECT_FALSE(SendText(host, CString(s.c_str())));
    EXPECT_EQ(boxes_.Texts(), std::vector<std::u16string>{u"Can't Send Data to Printer!"});
}

} // namespace
