#include "link/line_settings.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

DWORD FlagsWord(const DCB& dcb) {
    DWORD word = 0;
    std::memcpy(&word, reinterpret_cast<const BYTE*>(&dcb) + 8, sizeof(word));
    return word;
}

void SetFlagsWord(DCB& dcb, DWORD word) {
    std::memcpy(reinterpret_cast<BYTE*>(&dcb) + 8, &word, sizeof(word));
}

class PrinterLine : public ::testing::TestWithParam<DWORD> {};

TEST_P(PrinterLine, SetsTheLowFifteenFlagBitsAndKeepsTheRest) {
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    SetFlagsWord(dcb, GetParam());
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    dcb.XonLim = 2048;
    dcb.EofChar = 0x1A;

    SetPrinterLineSettings(dcb);

    EXPECT_EQ(FlagsWord(dcb) & 0x7FFF, 0x1293u);
    EXPECT_EQ(FlagsWord(dcb) & ~DWORD{0x7FFF}, GetParam() & ~DWORD{0x7FFF});
    EXPECT_EQ(dcb.DCBlength, 28u);
    EXPECT_EQ(dcb.BaudRate, 115200u);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, 2) << "even, not none";
    EXPECT_EQ(dcb.StopBits, 0);
    EXPECT_EQ(dcb.XonChar, 0x11);
    EXPECT_EQ(dcb.XoffChar, 0x13);
    EXPECT_EQ(dcb.XonLim, 2048);
    EXPECT_EQ(dcb.EofChar, 0x1A);
}

INSTANTIATE_TEST_SUITE_P(WhateverThePortReported, PrinterLine,
                         ::testing::Values(0x00000000u, 0xFFFFFFFFu, 0xAAAAAAAAu, 0x55555555u,
                                           0x00004011u));

} // namespace
