#include "engine/format_block.h"

#include <cstdint>

namespace {

constexpr BYTE ESC = 0x1B;
constexpr BYTE GS = 0x1D;

// Unsigned arithmetic: the low 8 bits are the same, and no index the lists
// can answer overflows.
BYTE LowByte(std::uint32_t value) {
    return static_cast<BYTE>(value & 0xFF);
}

} // namespace

void FillFormatBlock(BYTE* pBlock, CommandSet set, const FormatOptions& options) {
    const auto w = static_cast<std::uint32_t>(options.nWidth);
    const auto h = static_cast<std::uint32_t>(options.nHeight);
    const BYTE u = LowByte(static_cast<std::uint32_t>(options.bUnderline));
    const BYTE d = LowByte(static_cast<std::uint32_t>(options.bDirection));
    const BYTE r = LowByte(static_cast<std::uint32_t>(options.bWhite));
    // Width in the high nibble, height in the low one.
    const BYTE size = LowByte(w * 16 + h);

    BYTE* p = pBlock;
    *p++ = 0x00;
    switch (set) {
    case CommandSet::A:
        *p++ = ESC, *p++ = 'U', *p++ = LowByte(w + 1);
        *p++ = ESC, *p++ = 'V', *p++ = LowByte(h + 1);
        *p++ = ESC, *p++ = '-', *p++ = u;
        *p++ = ESC, *p++ = 'c', *p++ = d;
        *p++ = ESC, *p++ = 'i', *p++ = r;
        break;
    case CommandSet::B:
        *p++ = GS, *p++ = '!', *p++ = size;
        *p++ = GS, *p++ = '!', *p++ = size;
        *p++ = ESC, *p++ = '-', *p++ = u;
        *p++ = ESC, *p++ = 'V', *p++ = static_cast<BYTE>(d == 1 ? 2 : 0);
        *p++ = GS, *p++ = 'B', *p++ = r;
        break;
    case CommandSet::C:
        *p++ = GS, *p++ = '!', *p++ = size;
        *p++ = GS, *p++ = '!', *p++ = size;
        *p++ = ESC, *p++ = '-', *p++ = u;
        *p++ = ESC, *p++ = '{', *p++ = d;
        *p++ = GS, *p++ = 'B', *p++ = r;
        break;
    }
}
