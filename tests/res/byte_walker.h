// Reads resource bytes field by field, the way a loader walks them. Written
// apart from the resource compiler so that the tests check its output against
// the formats, not against itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

class ByteWalker {
public:
    explicit ByteWalker(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::uint8_t u8() {
        need(1);
        return bytes_[at_++];
    }
    std::uint16_t u16() {
        need(2);
        const auto v = std::uint16_t(bytes_[at_] | (bytes_[at_ + 1] << 8));
        at_ += 2;
        return v;
    }
    std::uint32_t u32() {
        const std::uint32_t low = u16();
        return low | (std::uint32_t(u16()) << 16);
    }
    std::int16_t i16() { return static_cast<std::int16_t>(u16()); }
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }

    // UTF-16 up to and without its terminating zero.
    std::u16string wideString() {
        std::u16string text;
        for (char16_t c = char16_t(u16()); c != 0; c = char16_t(u16())) {
            text += c;
        }
        return text;
    }

    // Skips to the next 32-bit boundary, counted from the resource's start;
    // the skipped bytes must be zero.
    void align4() {
        while (at_ % 4 != 0) {
            if (u8() != 0) {
                throw std::runtime_error("non-zero padding at " + std::to_string(at_ - 1));
            }
        }
    }

    std::size_t offset() const { return at_; }
    void seek(std::size_t offset) {
        if (offset > bytes_.size()) {
            throw std::out_of_range("seek past the end");
        }
        at_ = offset;
    }
    std::size_t size() const { return bytes_.size(); }
    bool atEnd() const { return at_ == bytes_.size(); }

private:
    void need(std::size_t n) const {
        if (bytes_.size() - at_ < n) {
            throw std::out_of_range("read past the end at " + std::to_string(at_));
        }
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};
