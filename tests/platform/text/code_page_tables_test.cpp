// 1252 and 936 in both directions against the reference tables generated
// from ICU's uconv: every single byte, every double-byte pair, every other
// character of the Basic Multilingual Plane, and the composite samples.
#include "platform/win32/codepage.h"
#include "platform/win32/kernel.h"
#include "tests/platform/text/conversion.h"
#include "tests/platform/text/reference_tables.h"
#include "tests/support/system_differences.h"

#include <gtest/gtest.h>
#include <set>

namespace {

using reference::Hex;

class ReferenceTable : public ::testing::TestWithParam<unsigned> {
protected:
    void SetUp() override {
        data_ = reference::LoadCodePage(GetParam());
        ASSERT_FALSE(data_.single.empty());
    }
    reference::CodePageData data_;
};

TEST_P(ReferenceTable, EachByteAloneDecodesAsTheReferenceSays) {
    const std::set<int> leads(data_.leads.begin(), data_.leads.end());
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        WCHAR w = 0;
        ASSERT_EQ(MultiByteToWideChar(GetParam(), 0, &byte, 1, &w, 1), 1) << b;
        if (leads.count(b) != 0) {
            EXPECT_TRUE(IsDBCSLeadByteEx(GetParam(), static_cast<BYTE>(b))) << b;
            EXPECT_EQ(w, TEXT('?'))
                << "a lead byte alone at the end is the default character " << b;
        } else {
            EXPECT_FALSE(IsDBCSLeadByteEx(GetParam(), static_cast<BYTE>(b))) << b;
            ASSERT_TRUE(data_.single.count(b)) << b;
            EXPECT_EQ(w, data_.single.at(b)) << b;
        }
    }
}

TEST_P(ReferenceTable, AllCharactersConvertBothWaysInOneString) {
    // Every valid sequence of the page, back to back, in one call each way:
    // this runs the bulk loops rather than one character at a time.
    std::string bytes;
    std::basic_string<WCHAR> wide;
    for (const auto& [b, c] : data_.single) {
        bytes += static_cast<char>(b);
        wide += c;
    }
    for (const auto& [seq, c] : data_.pairs) {
        bytes += static_cast<char>(seq >> 8);
        bytes += static_cast<char>(seq & 0xFF);
        wide += c;
    }
    EXPECT_EQ(Decode(GetParam(), 0, bytes), wide);
    BOOL used = TRUE;
    EXPECT_EQ(Encode(GetParam(), 0, wide, &used), bytes);
    EXPECT_FALSE(used);
}

TEST_P(ReferenceTable, EveryPairDecodesAsTheReferenceSays) {
    DIFFERS_ON_WINDOWS_IF(GetParam() == 936, "Wine's 936 lacks the user-defined areas");
    for (const int lead : data_.leads) {
        for (int trail = 0; trail < 256; ++trail) {
            const char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            WCHAR out[2] = {};
            const int n = MultiByteToWideChar(GetParam(), 0, in, 2, out, 2);
            const auto it = data_.pairs.find(static_cast<std::uint16_t>((lead << 8) | trail));
            if (it != data_.pairs.end()) {
                ASSERT_EQ(n, 1) << lead << ' ' << trail;
                EXPECT_EQ(out[0], it->second) << lead << ' ' << trail;
            } else {
                // Not a pair: the lead byte is bad alone and the other byte
                // stands for itself (or is a lead byte alone at the end).
                ASSERT_EQ(n, 2) << lead << ' ' << trail;
                EXPECT_EQ(out[0], TEXT('?'));
            }
        }
    }
}

TEST_P(ReferenceTable, EveryOtherCharacterBecomesTheDefaultCharacter) {
    DIFFERS_ON_WINDOWS("the system best-fits; we do not");
    std::set<WCHAR> mapped;
    for (const auto& entry : data_.single) {
        mapped.insert(entry.second);
    }
    for (const auto& entry : data_.pairs) {
        ASSERT_TRUE(mapped.insert(entry.second).second) << "reference maps a character twice";
    }
    for (unsigned c = 0; c < 0x10000; ++c) {
        const WCHAR w = static_cast<WCHAR>(c);
        if (IS_HIGH_SURROGATE(w) || IS_LOW_SURROGATE(w) || mapped.count(w) != 0) {
            continue;
        }
        char out[2] = {};
        BOOL used = FALSE;
        ASSERT_EQ(WideCharToMultiByte(GetParam(), 0, &w, 1, out, 2, nullptr, &used), 1) << c;
        EXPECT_EQ(out[0], '?') << c;
        EXPECT_TRUE(used) << c;
    }
}

INSTANTIATE_TEST_SUITE_P(CodePages, ReferenceTable, ::testing::Values(1252u, 936u));

TEST(ReferenceSamples, CharactersEncodeAsTheReferenceSays) {
    DIFFERS_ON_WINDOWS("the system best-fits; we do not");
    const auto samples = reference::LoadEncodeSamples();
    ASSERT_FALSE(samples.empty());
    for (const auto& s : samples) {
        std::basic_string<WCHAR> wide;
        if (s.ch >= 0x10000) {
            wide += static_cast<WCHAR>(0xD800 + ((s.ch - 0x10000) >> 10));
            wide += static_cast<WCHAR>(0xDC00 + ((s.ch - 0x10000) & 0x3FF));
        } else {
            wide += static_cast<WCHAR>(s.ch);
        }
        for (const auto& [cp, bytes] : s.bytes) {
            BOOL used = FALSE;
            const std::string got = Encode(cp, 0, wide, &used);
            EXPECT_EQ(Hex(got), Hex(bytes.value_or("?")))
                << "U+" << std::hex << unsigned(s.ch) << " in " << std::dec << cp;
            EXPECT_EQ(used != FALSE, !bytes.has_value()) << unsigned(s.ch) << " in " << cp;
        }
    }
}

TEST(ReferenceSamples, CompositesUnderBothFlagSetsOfThePrinterPath) {
    DIFFERS_ON_WINDOWS("Wine does no composite check, and best-fits");
    const auto samples = reference::LoadComposites();
    ASSERT_FALSE(samples.empty());
    for (const auto& s : samples) {
        const std::basic_string<WCHAR> text{s.base, s.mark};
        const auto label = ::testing::Message() << s.code_page << " U+" << std::hex
                                                << unsigned(s.base) << " U+" << unsigned(s.mark);
        EXPECT_EQ(Hex(Encode(s.code_page, 0x220, text)), Hex(s.separate)) << label;
        EXPECT_EQ(Hex(Encode(s.code_page, 0x240, text)), Hex(s.whole)) << label;

        // As the printer path does it: size with 0x220, convert with 0x240
        // into a zeroed buffer of that size plus one.
        const int size =
            WideCharToMultiByte(s.code_page, 0x220, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
        EXPECT_EQ(size, static_cast<int>(s.separate.size()) + 1) << label;
        std::string buffer(static_cast<std::size_t>(size) + 1, '\0');
        const int written = WideCharToMultiByte(s.code_page, 0x240, text.c_str(), -1, buffer.data(),
                                                size, nullptr, nullptr);
        EXPECT_EQ(written, static_cast<int>(s.whole.size()) + 1) << label;
        EXPECT_EQ(Hex(buffer), Hex(s.whole + std::string(buffer.size() - s.whole.size(), '\0')))
            << label;
    }
}

} // namespace
