// Bounds-checked little-endian reading of resource bytes. Every read answers
// false instead of stepping past the end, so the readers built on it turn
// malformed input into an error, never into a crash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace user32 {

class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t offset() const { return pos_; }
    std::size_t size() const { return bytes_.size(); }
    std::size_t remaining() const { return bytes_.size() - pos_; }
    bool atEnd() const { return pos_ == bytes_.size(); }

    bool u8(std::uint8_t& v);
    bool u16(std::uint16_t& v);
    bool u32(std::uint32_t& v);
    bool i16(std::int16_t& v);
    bool i32(std::int32_t& v);
    bool skip(std::size_t n);
    bool seek(std::size_t offset);
    // Moves to the next multiple of `to` counted from the start of the bytes.
    bool align(std::size_t to);
    // A zero-terminated UTF-16 string; the terminator is consumed, not kept.
    bool string(std::u16string& s);
    bool bytes(std::size_t n, std::span<const std::uint8_t>& out);

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

} // namespace user32
