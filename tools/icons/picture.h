// The program's picture: a printer with a sheet of paper coming out of it, in
// front of a globe. Drawn from shapes at any size, so that every icon size is
// rendered from the same drawing rather than scaled from another image.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace icons {

struct Rgba {
    std::uint8_t r;
    std::uint8_t g;
    std::uint8_t b;
    std::uint8_t a; // 0 transparent, 255 opaque; colour not premultiplied

    friend bool operator==(const Rgba&, const Rgba&) = default;
};

// A square image, rows top to bottom.
struct Image {
    int size = 0;
    std::vector<Rgba> pixels;

    const Rgba& at(int x, int y) const {
        return pixels[std::size_t(y) * std::size_t(size) + std::size_t(x)];
    }
};

// The sixteen colours of the classic 4-bit palette, in their usual order.
extern const std::array<Rgba, 16> kSixteenColours;

// Smooth shading and anti-aliased, transparent edges.
Image draw_true_colour(int size);

// Flat areas in colours of kSixteenColours only, every pixel either opaque or
// fully transparent, as a 4-bit icon with a mask shows it.
Image draw_sixteen_colour(int size);

} // namespace icons
