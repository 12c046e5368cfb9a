// The characters in the bytes a terminal sends. ncurses hands keyboard input
// over a byte at a time; a character whose bytes arrive in two reads is put
// together here, so that nothing depends on where a read happened to end.
//
// UTF-8 is decoded by the Unicode rules: a byte that cannot continue or start
// a character becomes U+FFFD and the bytes after it are read afresh. Any
// other codeset goes through the C library's conversion for the locale, but
// a byte below 0x80 outside a character is always ASCII: in Shift-JIS
// locales the C library reads 0x5C as YEN SIGN and 0x7E as OVERLINE, while
// the key that sent it is labelled backslash or tilde, and the printer's
// code page prints the byte as that.
#pragma once

#include <cstddef>
#include <cwchar>
#include <string>

namespace terminal {

enum class InputCodeset { Utf8, Locale };

class InputCharDecoder {
public:
    explicit InputCharDecoder(InputCodeset codeset = InputCodeset::Utf8) : codeset_(codeset) {}

    // Adds the characters that byte completes to out.
    void push(unsigned char byte, std::u32string& out);
    // Some bytes of a character are still waiting for the rest.
    bool midCharacter() const { return waiting_ > 0; }
    // Something other than a byte came (a key): a character cut short there
    // is an invalid one.
    void abandon(std::u32string& out);

private:
    void pushUtf8(unsigned char byte, std::u32string& out);
    void pushLocale(unsigned char byte, std::u32string& out);

    InputCodeset codeset_;
    std::size_t waiting_ = 0; // UTF-8: bytes still to come; locale: bytes held
    char32_t partial_ = 0;
    unsigned char low_ = 0x80, high_ = 0xBF; // what the next UTF-8 byte may be
    std::mbstate_t state_{};
};

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

} // namespace terminal
