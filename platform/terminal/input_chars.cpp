#include "platform/terminal/input_chars.h"

namespace terminal {
namespace {

struct Utf8Lead {
    std::size_t following = 0;
    char32_t bits = 0;
    unsigned char low = 0x80, high = 0xBF; // the second byte's range
};

// Unicode's table of well-formed UTF-8: the second byte's range shuts out
// overlong forms, surrogates and code points past U+10FFFF.
bool ReadLead(unsigned char byte, Utf8Lead& lead) {
    if (byte >= 0xC2 && byte <= 0xDF) {
        lead = {1, static_cast<char32_t>(byte & 0x1Fu)};
    } else if (byte >= 0xE0 && byte <= 0xEF) {
        lead = {2, static_cast<char32_t>(byte & 0x0Fu)};
        if (byte == 0xE0) {
            lead.low = 0xA0;
        } else if (byte == 0xED) {
            lead.high = 0x9F;
        }
    } else if (byte >= 0xF0 && byte <= 0xF4) {
        lead = {3, static_cast<char32_t>(byte & 0x07u)};
        if (byte == 0xF0) {
            lead.low = 0x90;
        } else if (byte == 0xF4) {
            lead.high = 0x8F;
        }
    } else {
        return false;
    }
    return true;
}

} // namespace

void InputCharDecoder::push(unsigned char byte, std::u32string& out) {
    if (codeset_ == InputCodeset::Utf8) {
        pushUtf8(byte, out);
    } else {
        pushLocale(byte, out);
    }
}

void InputCharDecoder::pushUtf8(unsigned char byte, std::u32string& out) {
    if (waiting_ > 0) {
        if (byte >= low_ && byte <= high_) {
            partial_ = (partial_ << 6) | (byte & 0x3Fu);
            low_ = 0x80;
            high_ = 0xBF;
            if (--waiting_ == 0) {
                out += partial_;
            }
            return;
        }
        // The character ends unfinished; this byte starts afresh.
        abandon(out);
    }
    if (byte < 0x80) {
        out += static_cast<char32_t>(byte);
        return;
    }
    Utf8Lead lead;
    if (!ReadLead(byte, lead)) {
        out += kReplacementCharacter;
        return;
    }
    waiting_ = lead.following;
    partial_ = lead.bits;
    low_ = lead.low;
    high_ = lead.high;
}

void InputCharDecoder::pushLocale(unsigned char byte, std::u32string& out) {
    if (waiting_ == 0 && byte < 0x80) {
        out += static_cast<char32_t>(byte);
        return;
    }
    const char in = static_cast<char>(byte);
    wchar_t wide = 0;
    const std::size_t result = std::mbrtowc(&wide, &in, 1, &state_);
    if (result == static_cast<std::size_t>(-2)) {
        ++waiting_;
        return;
    }
    if (result == static_cast<std::size_t>(-1)) {
        const bool startedEarlier = waiting_ > 0;
        state_ = std::mbstate_t{};
        waiting_ = 0;
        out += kReplacementCharacter;
        if (startedEarlier) {
            pushLocale(byte, out); // it may start a character of its own
        }
        return;
    }
    waiting_ = 0;
    out += static_cast<char32_t>(wide);
}

void InputCharDecoder::abandon(std::u32string& out) {
    if (waiting_ == 0) {
        return;
    }
    waiting_ = 0;
    low_ = 0x80;
    high_ = 0xBF;
    state_ = std::mbstate_t{};
    out += kReplacementCharacter;
}

} // namespace terminal
