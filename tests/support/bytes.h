// Byte strings for expected streams and hand-built binary layouts: bytes from
// values or characters, joined piece by piece, and a little-endian writer
// with the 32-bit alignment resource layouts use between their parts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

using Bytes = std::vector<std::uint8_t>;

// Bytes from a list of values (each cut to its low byte) or from a string's
// characters.
inline Bytes ToBytes(std::initializer_list<int> values) {
    Bytes bytes;
    bytes.reserve(values.size());
    for (const int v : values) {
        bytes.push_back(static_cast<std::uint8_t>(v));
    }
    return bytes;
}

inline Bytes ToBytes(const std::string& s) {
    return {s.begin(), s.end()};
}

// Concatenation, for expected streams written piece by piece.
inline Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// Little-endian output. Written apart from the resource compiler's writer so
// that tests check the compiler against the formats, not against itself.
class ByteWriter {
public:
    Bytes bytes;

    void u8(std::uint8_t v) { bytes.push_back(v); }
    void u16(std::uint16_t v) {
        u8(static_cast<std::uint8_t>(v));
        u8(static_cast<std::uint8_t>(v >> 8));
    }
    void u32(std::uint32_t v) {
        u16(static_cast<std::uint16_t>(v));
        u16(static_cast<std::uint16_t>(v >> 16));
    }
    void i16(std::int16_t v) { u16(static_cast<std::uint16_t>(v)); }
    // UTF-16 characters and one terminating zero.
    void str(std::u16string_view s) {
        for (const char16_t c : s) {
            u16(c);
        }
        u16(0);
    }
    void raw(const Bytes& data) { bytes.insert(bytes.end(), data.begin(), data.end()); }
    void raw(std::string_view data) { bytes.insert(bytes.end(), data.begin(), data.end()); }
    // Zero bytes up to the next multiple of four of the whole output.
    void align4() {
        while (bytes.size() % 4 != 0) {
            u8(0);
        }
    }
    std::size_t size() const { return bytes.size(); }
    // For sizes known only once the parts after them are written.
    void patch16(std::size_t at, std::uint16_t v) {
        bytes.at(at) = static_cast<std::uint8_t>(v);
        bytes.at(at + 1) = static_cast<std::uint8_t>(v >> 8);
    }
};

} // namespace testing_support
