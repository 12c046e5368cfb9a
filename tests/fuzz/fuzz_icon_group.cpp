// Any bytes as an icon group directory and as an icon image. Properties: no
// crash or read past the end; an accepted directory holds as many entries as
// it counts, each inside the bytes; an accepted image has a picture of at
// least one pixel each way, within the limits of a DIB or PNG, and a bit
// count an icon can have; a directory the resource compiler could have
// written comes back from it byte for byte.
#include "fuzz_check.h"
#include "platform/user32/resources/icon_group.h"
#include "res/compiler/icon_file.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace {

constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kEntrySize = 14;
// The compiler needs each image's bytes, not only their count; past this
// total the comparison would spend the run allocating.
constexpr std::size_t kMostImageBytes = 1 << 20;

void CheckGroup(std::span<const std::uint8_t> in) {
    const auto read = user32::ReadIconGroup(in);
    if (!read) {
        FUZZ_CHECK(read.error().offset <= in.size());
        return;
    }
    const auto& entries = read.value();
    FUZZ_CHECK(entries.size() == static_cast<std::size_t>(in[4] | (in[5] << 8)));
    FUZZ_CHECK(kHeaderSize + entries.size() * kEntrySize <= in.size());

    // The compiler numbers a group's images one after another.
    std::size_t imageBytes = 0;
    bool compilable = true;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto& e = entries[i];
        FUZZ_CHECK(e.width >= 1 && e.width <= 256 && e.height >= 1 && e.height <= 256);
        imageBytes += e.bytesInRes;
        compilable = compilable && e.imageId == entries[0].imageId + i &&
                     in[kHeaderSize + i * kEntrySize + 3] == 0; // reserved byte
    }
    if (!compilable || entries.empty() || imageBytes > kMostImageBytes) {
        return;
    }
    std::vector<res::IconImage> images;
    for (const auto& e : entries) {
        images.push_back({static_cast<BYTE>(e.width & 0xFF), static_cast<BYTE>(e.height & 0xFF),
                          e.colorCount, e.planes, e.bitCount,
                          std::vector<std::uint8_t>(e.bytesInRes)});
    }
    const std::vector<std::uint8_t> compiled = res::LayOutIconGroup(images, entries[0].imageId);
    FUZZ_CHECK(compiled.size() == kHeaderSize + entries.size() * kEntrySize);
    FUZZ_CHECK(std::equal(compiled.begin(), compiled.end(), in.begin()));
}

void CheckImage(std::span<const std::uint8_t> in) {
    const auto read = user32::ReadIconImage(in);
    if (!read) {
        FUZZ_CHECK(read.error().offset <= in.size());
        return;
    }
    const auto& image = read.value();
    FUZZ_CHECK(image.width >= 1 && image.height >= 1);
    FUZZ_CHECK(image.width <= 0x10000 && image.height <= 0x10000);
    // A PNG's depth times its channels; a DIB's own count.
    const std::vector<int> bits = image.png ? std::vector<int>{1, 2, 4, 8, 16, 24, 32, 48, 64}
                                            : std::vector<int>{1, 4, 8, 16, 24, 32};
    FUZZ_CHECK(std::find(bits.begin(), bits.end(), image.bitCount) != bits.end());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> in(data, size);
    CheckGroup(in);
    CheckImage(in);
    return 0;
}
