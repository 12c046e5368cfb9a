#include "platform/user32/resources/byte_reader.h"

namespace user32 {

bool ByteReader::u8(std::uint8_t& v) {
    if (remaining() < 1) {
        return false;
    }
    v = bytes_[pos_++];
    return true;
}

bool ByteReader::u16(std::uint16_t& v) {
    if (remaining() < 2) {
        return false;
    }
    v = static_cast<std::uint16_t>(bytes_[pos_] | (bytes_[pos_ + 1] << 8));
    pos_ += 2;
    return true;
}

bool ByteReader::u32(std::uint32_t& v) {
    if (remaining() < 4) {
        return false;
    }
    v = static_cast<std::uint32_t>(bytes_[pos_]) |
        (static_cast<std::uint32_t>(bytes_[pos_ + 1]) << 8) |
        (static_cast<std::uint32_t>(bytes_[pos_ + 2]) << 16) |
        (static_cast<std::uint32_t>(bytes_[pos_ + 3]) << 24);
    pos_ += 4;
    return true;
}

bool ByteReader::i16(std::int16_t& v) {
    std::uint16_t u = 0;
    if (!u16(u)) {
        return false;
    }
    v = static_cast<std::int16_t>(u);
    return true;
}

bool ByteReader::i32(std::int32_t& v) {
    std::uint32_t u = 0;
    if (!u32(u)) {
        return false;
    }
    v = static_cast<std::int32_t>(u);
    return true;
}

bool ByteReader::skip(std::size_t n) {
    if (remaining() < n) {
        return false;
    }
    pos_ += n;
    return true;
}

bool ByteReader::seek(std::size_t offset) {
    if (offset > bytes_.size()) {
        return false;
    }
    pos_ = offset;
    return true;
}

bool ByteReader::align(std::size_t to) {
    const std::size_t pad = (to - pos_ % to) % to;
    return skip(pad);
}

bool ByteReader::string(std::u16string& s) {
    s.clear();
    for (;;) {
        std::uint16_t c = 0;
        if (!u16(c)) {
            return false;
        }
        if (c == 0) {
            return true;
        }
        s += static_cast<char16_t>(c);
    }
}

bool ByteReader::bytes(std::size_t n, std::span<const std::uint8_t>& out) {
    if (remaining() < n) {
        return false;
    }
    out = bytes_.subspan(pos_, n);
    pos_ += n;
    return true;
}

} // namespace user32
