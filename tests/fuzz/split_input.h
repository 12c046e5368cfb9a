// The input layout of the loader's fuzz targets: one byte choosing the ANSI
// code page (1252 or 936), one byte giving how many piece sizes follow (up
// to 15), those sizes (0..255 each, 0 being an empty read), then the file's
// bytes; what the sizes leave is the last piece.
#pragma once

#include "platform/win32/types.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

struct SplitInput {
    UINT page;
    std::span<const std::uint8_t> file;
    std::vector<std::size_t> pieces; // the sizes of the reads before the last
};

// Nothing when the input is too short for its own header.
inline std::optional<SplitInput> ReadSplitInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return std::nullopt;
    }
    const std::size_t count = data[1] % 16;
    if (size < 2 + count) {
        return std::nullopt;
    }
    SplitInput input{(data[0] & 1) != 0 ? 936u : 1252u,
                     std::span<const std::uint8_t>(data + 2 + count, size - 2 - count),
                     {}};
    std::size_t left = input.file.size();
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t piece = std::min<std::size_t>(data[2 + i], left);
        input.pieces.push_back(piece);
        left -= piece;
    }
    return input;
}
