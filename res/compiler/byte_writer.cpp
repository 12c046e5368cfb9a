#include "res/compiler/byte_writer.h"

#include <stdexcept>

namespace res {

void ByteWriter::u16(std::uint16_t value) {
    bytes_.push_back(static_cast<std::uint8_t>(value));
    bytes_.push_back(static_cast<std::uint8_t>(value >> 8));
}

void ByteWriter::u32(std::uint32_t value) {
    u16(static_cast<std::uint16_t>(value));
    u16(static_cast<std::uint16_t>(value >> 16));
}

void ByteWriter::wideString(std::u16string_view text) {
    for (char16_t c : text) {
        u16(c);
    }
    u16(0);
}

void ByteWriter::raw(const std::vector<std::uint8_t>& data) {
    bytes_.insert(bytes_.end(), data.begin(), data.end());
}

void ByteWriter::alignTo4() {
    while (bytes_.size() % 4 != 0) {
        bytes_.push_back(0);
    }
}

void ByteWriter::patchU16(std::size_t offset, std::uint16_t value) {
    if (offset + 2 > bytes_.size()) {
        throw std::out_of_range("patch beyond the written bytes");
    }
    bytes_[offset] = static_cast<std::uint8_t>(value);
    bytes_[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

} // namespace res
