#include "platform/entry/shown_text.h"

#include "platform/text/utf8.h"

#include <cstddef>
#include <cstdint>

namespace entry {
namespace {

// The length of the valid UTF-8 sequence at the start of text, or 0.
// The C1 controls are shown as bytes too.
std::size_t Utf8Length(std::string_view text) {
    if (static_cast<std::uint8_t>(text[0]) < 0x80) {
        return 0;
    }
    const text::Utf8Step step = text::DecodeUtf8Step(text, 0);
    const bool control = step.value >= 0x80 && step.value <= 0x9F;
    return step.wellFormed && !control ? step.length : 0;
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
