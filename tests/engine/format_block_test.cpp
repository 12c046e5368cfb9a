// The 16-byte format block of the three command sets, against the block
// table for every width and height index the lists can answer and every
// flag combination, and against the worked examples.
#include "engine/format_block.h"

#include <array>
#include <gtest/gtest.h>

namespace {

using Block = std::array<BYTE, 16>;

// One byte of the block table: a constant, or which value goes there.
enum class Cell {
    Byte,
    WidthPlusOne,
    HeightPlusOne,
    Size,
    Underline,
    Direction,
    DirectionB,
    White
};
struct Entry {
    Cell cell = Cell::Byte;
    BYTE value = 0;
};
constexpr Entry K(BYTE b) {
    return {Cell::Byte, b};
}
constexpr Entry V(Cell c) {
    return {c, 0};
}

using Table = std::array<Entry, 16>;
constexpr Table kSetA = {K(0x00),
                         K(0x1B),
                         K(0x55),
                         V(Cell::WidthPlusOne),
                         K(0x1B),
                         K(0x56),
                         V(Cell::HeightPlusOne),
                         K(0x1B),
                         K(0x2D),
                         V(Cell::Underline),
                         K(0x1B),
                         K(0x63),
                         V(Cell::Direction),
                         K(0x1B),
                         K(0x69),
                         V(Cell::White)};
constexpr Table kSetB = {K(0x00),
                         K(0x1D),
                         K(0x21),
                         V(Cell::Size),
                         K(0x1D),
                         K(0x21),
                         V(Cell::Size),
                         K(0x1B),
                         K(0x2D),
                         V(Cell::Underline),
                         K(0x1B),
                         K(0x56),
                         V(Cell::DirectionB),
                         K(0x1D),
                         K(0x42),
                         V(Cell::White)};
constexpr Table kSetC = {K(0x00),
                         K(0x1D),
                         K(0x21),
                         V(Cell::Size),
                         K(0x1D),
                         K(0x21),
                         V(Cell::Size),
                         K(0x1B),
                         K(0x2D),
                         V(Cell::Underline),
                         K(0x1B),
                         K(0x7B),
                         V(Cell::Direction),
                         K(0x1D),
                         K(0x42),
                         V(Cell::White)};

Block Expected(const Table& table, const FormatOptions& o) {
    Block block{};
    for (std::size_t i = 0; i < 16; ++i) {
        int v = 0;
        switch (table[i].cell) {
        case Cell::Byte:
            v = table[i].value;
            break;
        case Cell::WidthPlusOne:
            v = o.nWidth + 1;
            break;
        case Cell::HeightPlusOne:
            v = o.nHeight + 1;
            break;
        case Cell::Size:
            v = o.nWidth * 16 + o.nHeight;
            break;
        case Cell::Underline:
            v = o.bUnderline;
            break;
        case Cell::Direction:
            v = o.bDirection;
            break;
        case Cell::DirectionB:
            v = o.bDirection == 1 ? 2 : 0;
            break;
        case Cell::White:
            v = o.bWhite;
            break;
        }
        block[i] = static_cast<BYTE>(v & 0xFF);
    }
    return block;
}

Block Fill(CommandSet set, const FormatOptions& o) {
    Block block;
    block.fill(0xEE); // every byte must be written
    FillFormatBlock(block.data(), set, o);
    return block;
}

TEST(FormatBlock, EverySetMatchesTheTableForEveryIndexAndFlag) {
    const std::pair<CommandSet, const Table*> sets[] = {
        {CommandSet::A, &kSetA}, {CommandSet::B, &kSetB}, {CommandSet::C, &kSetC}};
    for (const auto& [set, table] : sets) {
        for (int w = -1; w <= 3; ++w) {
            for (int h = -1; h <= 3; ++h) {
                for (int flags = 0; flags < 8; ++flags) {
                    const FormatOptions o{w, h, flags & 1, (flags >> 1) & 1, (flags >> 2) & 1};
                    SCOPED_TRACE(::testing::Message() << "set " << static_cast<int>(set) << " w "
                                                      << w << " h " << h << " flags " << flags);
                    EXPECT_EQ(Fill(set, o), Expected(*table, o));
                }
            }
        }
    }
}

struct Example {
    CommandSet set;
    FormatOptions options;
    Block bytes;
};

class FormatBlockExample : public ::testing::TestWithParam<Example> {};

TEST_P(FormatBlockExample, GivesTheseBytes) {
    EXPECT_EQ(Fill(GetParam().set, GetParam().options), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Worked, FormatBlockExample,
                         ::testing::Values(
                             // width x2, height x1, underline
                             Example{CommandSet::A,
                                     {1, 0, 1, 0, 0},
                                     {0x00, 0x1B, 0x55, 0x02, 0x1B, 0x56, 0x01, 0x1B, 0x2D, 0x01,
                                      0x1B, 0x63, 0x00, 0x1B, 0x69, 0x00}},
                             Example{CommandSet::B,
                                     {1, 2, 0, 1, 1},
                                     {0x00, 0x1D, 0x21, 0x12, 0x1D, 0x21, 0x12, 0x1B, 0x2D, 0x00,
                                      0x1B, 0x56, 0x02, 0x1D, 0x42, 0x01}},
                             Example{CommandSet::C,
                                     {1, 2, 0, 1, 1},
                                     {0x00, 0x1D, 0x21, 0x12, 0x1D, 0x21, 0x12, 0x1B, 0x2D, 0x00,
                                      0x1B, 0x7B, 0x01, 0x1D, 0x42, 0x01}},
                             Example{CommandSet::A,
                                     {3, 0, 1, 1, 0},
                                     {0x00, 0x1B, 0x55, 0x04, 0x1B, 0x56, 0x01, 0x1B, 0x2D, 0x01,
                                      0x1B, 0x63, 0x01, 0x1B, 0x69, 0x00}},
                             // No width selected: A sends 00, B and C the low byte of -16 + h.
                             Example{CommandSet::A,
                                     {-1, 0, 0, 0, 0},
                                     {0x00, 0x1B, 0x55, 0x00, 0x1B, 0x56, 0x01, 0x1B, 0x2D, 0x00,
                                      0x1B, 0x63, 0x00, 0x1B, 0x69, 0x00}},
                             Example{CommandSet::B,
                                     {-1, 0, 0, 0, 0},
                                     {0x00, 0x1D, 0x21, 0xF0, 0x1D, 0x21, 0xF0, 0x1B, 0x2D, 0x00,
                                      0x1B, 0x56, 0x00, 0x1D, 0x42, 0x00}},
                             // No height selected: A sends 00, B and C the low byte of 16w - 1.
                             Example{CommandSet::A,
                                     {0, -1, 0, 0, 0},
                                     {0x00, 0x1B, 0x55, 0x01, 0x1B, 0x56, 0x00, 0x1B, 0x2D, 0x00,
                                      0x1B, 0x63, 0x00, 0x1B, 0x69, 0x00}},
                             Example{CommandSet::C,
                                     {0, -1, 0, 0, 0},
                                     {0x00, 0x1D, 0x21, 0xFF, 0x1D, 0x21, 0xFF, 0x1B, 0x2D, 0x00,
                                      0x1B, 0x7B, 0x00, 0x1D, 0x42, 0x00}},
                             Example{CommandSet::B,
                                     {1, -1, 0, 0, 0},
                                     {0x00, 0x1D, 0x21, 0x0F, 0x1D, 0x21, 0x0F, 0x1B, 0x2D, 0x00,
                                      0x1B, 0x56, 0x00, 0x1D, 0x42, 0x00}}));

} // namespace
