// Little-endian byte output with the 32-bit alignment that resource layouts
// use between their parts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace res {

class ByteWriter {
public:
    void u8(std::uint8_t value) { bytes_.push_back(value); }
    void u16(std::uint16_t value);
    void u32(std::uint32_t value);
    void i16(std::int16_t value) { u16(static_cast<std::uint16_t>(value)); }
    // The characters and one terminating zero.
    void wideString(std::u16string_view text);
    void raw(const std::vector<std::uint8_t>& data);
    // Zero bytes up to the next multiple of four (of the whole output).
    void alignTo4();

    // For sizes known only once the parts after them are written.
    void patchU16(std::size_t offset, std::uint16_t value);

    std::size_t size() const { return bytes_.size(); }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

} // namespace res
