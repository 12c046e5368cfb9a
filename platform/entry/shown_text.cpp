#include "platform/entry/shown_text.h"

#include <cstddef>
#include <cstdint>

namespace entry {
namespace {

// The length of the valid UTF-8 sequence at the start of text, or 0.
std::size_t Utf8Length(std::string_view text) {
    const auto lead = static_cast<std::uint8_t>(text[0]);
    std::size_t length = 0;
    char32_t c = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        c = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        c = lead & 0x07u;
    } else {
        return 0;
    }
    if (text.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<std::uint8_t>(text[i]);
        if ((next & 0xC0u) != 0x80u) {
            return 0;
        }
        c = (c << 6) | (next & 0x3Fu);
    }
    // Overlong forms, surrogates and the C1 controls are shown as bytes.
    const bool overlong = (length == 3 && c < 0x800) || (length == 4 && c < 0x10000);
    const bool surrogate = c >= 0xD800 && c <= 0xDFFF;
    const bool control = c >= 0x80 && c <= 0x9F;
    return overlong || surrogate || control || c > 0x10FFFF ? 0 : length;
}

void AppendEscaped(std::string& out, std::uint8_t byte) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 15];
}

} // namespace

std::string ShownText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const auto byte = static_cast<std::uint8_t>(text[0]);
        std::size_t taken = 1;
        if (byte == '\\') {
            out += "\\\\";
        } else if (byte >= 0x20 && byte < 0x7F) {
            out += static_cast<char>(byte);
        } else if (const std::size_t length = byte >= 0x80 ? Utf8Length(text) : 0; length != 0) {
            out += text.substr(0, length);
            taken = length;
        } else { // a control character, or a byte that is no UTF-8
            AppendEscaped(out, byte);
        }
        text.remove_prefix(taken);
    }
    return out;
}

} // namespace entry
