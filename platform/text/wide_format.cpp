#include "platform/text/wide_format.h"

#include "platform/win32/codepage.h"

#include <cstdint>
#include <cstring>
#include <string_view>

namespace text {
namespace {

enum class Size { Default, Short, Long, Int64 };

struct FieldFormat {
    bool left = false;
    bool zero = false;
    bool alternate = false;
    std::size_t width = 0;
    bool hasPrecision = false;
    std::size_t precision = 0;
    Size size = Size::Default;
};

// Collects output and silently drops whatever does not fit, so that a long
// argument can never run past the caller's buffer.
class Sink {
public:
    Sink(std::u16string& out, std::size_t max) : out_(out), room_(max) {}

    void put(char16_t c) {
        if (room_ > 0) {
            out_ += c;
            --room_;
        }
    }
    void put(std::u16string_view s) {
        const std::size_t n = s.size() < room_ ? s.size() : room_;
        out_.append(s.substr(0, n));
        room_ -= n;
    }
    void repeat(char16_t c, std::size_t n) {
        if (n > room_) {
            n = room_;
        }
        out_.append(n, c);
        room_ -= n;
    }
    bool full() const { return room_ == 0; }

private:
    std::u16string& out_;
    std::size_t room_;
};

std::size_t ReadNumber(LPCWSTR& p) {
    std::size_t n = 0;
    while (*p >= u'0' && *p <= u'9') {
        if (n < 100000) { // a width beyond any buffer is clamped, not overflowed
            n = n * 10 + static_cast<std::size_t>(*p - u'0');
        }
        ++p;
    }
    return n;
}

// Pads body (with an optional sign or 0x prefix kept in front of zero padding).
void Emit(Sink& sink, const FieldFormat& field, std::u16string_view prefix,
          std::u16string_view body) {
    const std::size_t len = prefix.size() + body.size();
    const std::size_t pad = field.width > len ? field.width - len : 0;
    if (field.left) {
        sink.put(prefix);
        sink.put(body);
        sink.repeat(u' ', pad);
    } else if (field.zero) {
        sink.put(prefix);
        sink.repeat(u'0', pad);
        sink.put(body);
    } else {
        sink.repeat(u' ', pad);
        sink.put(prefix);
        sink.put(body);
    }
}

void EmitInteger(Sink& sink, FieldFormat field, char16_t conv, std::int64_t value,
                 std::uint64_t bits) {
    const bool isSigned = conv == u'd' || conv == u'i';
    const bool negative = isSigned && value < 0;
    std::uint64_t magnitude = isSigned ? (negative ? 0 - static_cast<std::uint64_t>(value)
                                                   : static_cast<std::uint64_t>(value))
                                       : bits;
    const unsigned base = (conv == u'x' || conv == u'X') ? 16 : 10;
    const char* digits = conv == u'X' ? "0123456789ABCDEF" : "0123456789abcdef";

    char16_t buf[32];
    std::size_t n = 0;
    do {
        buf[n++] = static_cast<char16_t>(digits[magnitude % base]);
        magnitude /= base;
    } while (magnitude != 0);
    std::u16string body;
    if (field.hasPrecision) {
        if (field.precision == 0 && n == 1 && buf[0] == u'0') {
            n = 0; // printf rule: zero with precision 0 prints no digits
        }
        if (field.precision > n) {
            body.assign(field.precision - n, u'0');
        }
        field.zero = false;
    }
    while (n > 0) {
        body += buf[--n];
    }
    std::u16string_view prefix;
    if (negative) {
        prefix = u"-";
    } else if (field.alternate && base == 16 && bits != 0) {
        prefix = conv == u'X' ? u"0X" : u"0x";
    }
    Emit(sink, field, prefix, body);
}

std::u16string Narrow(const char* s, std::size_t len) {
    std::u16string wide;
    if (len == 0) {
        return wide;
    }
    const int n = MultiByteToWideChar(CP_ACP, 0, s, static_cast<int>(len), nullptr, 0);
    if (n > 0) {
        wide.resize(static_cast<std::size_t>(n));
        MultiByteToWideChar(CP_ACP, 0, s, static_cast<int>(len), wide.data(), n);
    }
    return wide;
}

std::u16string_view Truncate(std::u16string_view s, const FieldFormat& field) {
    return field.hasPrecision && field.precision < s.size() ? s.substr(0, field.precision) : s;
}

} // namespace

void FormatWide(std::u16string& out, LPCWSTR format, va_list args, std::size_t maxChars) {
    Sink sink(out, maxChars);
    if (format == nullptr) {
        return;
    }
    for (LPCWSTR p = format; *p != 0 && !sink.full();) {
        if (*p != u'%') {
            sink.put(*p++);
            continue;
        }
        ++p;
        if (*p == u'%') {
            sink.put(*p++);
            continue;
        }
        FieldFormat field;
        for (;; ++p) {
            if (*p == u'-') {
                field.left = true;
            } else if (*p == u'0') {
                field.zero = true;
            } else if (*p == u'#') {
                field.alternate = true;
            } else {
                break;
            }
        }
        field.width = ReadNumber(p);
        if (*p == u'.') {
            ++p;
            field.hasPrecision = true;
            field.precision = ReadNumber(p);
        }
        if (*p == u'l') {
            field.size = Size::Long;
            ++p;
        } else if (*p == u'h') {
            field.size = Size::Short;
            ++p;
        } else if (p[0] == u'I' && p[1] == u'6' && p[2] == u'4') {
            field.size = Size::Int64;
            p += 3;
        }
        const char16_t conv = *p;
        if (conv == 0) {
            break; // a lone '%' at the end prints nothing
        }
        ++p;
        switch (conv) {
        case u'd':
        case u'i':
        case u'u':
        case u'x':
        case u'X': {
            std::int64_t value = 0;
            std::uint64_t bits = 0;
            if (field.size == Size::Int64) {
                value = va_arg(args, long long);
                bits = static_cast<std::uint64_t>(value);
            } else {
                // Win32 integers are 32 bits, 'l' included.
                const int raw = va_arg(args, int);
                if (field.size == Size::Short) {
                    value = static_cast<short>(raw);
                    bits = static_cast<unsigned short>(raw);
                } else {
                    value = raw;
                    bits = static_cast<unsigned>(raw);
                }
            }
            EmitInteger(sink, field, conv, value, bits);
            break;
        }
        case u'c':
        case u'C': {
            const int raw = va_arg(args, int);
            const bool narrow = conv == u'C' ? field.size != Size::Long : field.size == Size::Short;
            field.zero = false;
            if (narrow) {
                const char ch = static_cast<char>(raw);
                Emit(sink, field, {}, Narrow(&ch, 1));
            } else {
                const char16_t ch = static_cast<char16_t>(raw);
                Emit(sink, field, {}, std::u16string_view(&ch, 1));
            }
            break;
        }
        case u's':
        case u'S': {
            const bool narrow = conv == u'S' ? field.size != Size::Long : field.size == Size::Short;
            field.zero = false;
            if (narrow) {
                const char* s = va_arg(args, const char*);
                if (s == nullptr) {
                    Emit(sink, field, {}, Truncate(u"(null)", field));
                } else {
                    std::size_t len = std::strlen(s);
                    if (field.hasPrecision && field.precision < len) {
                        len = field.precision;
                    }
                    const std::u16string wide = Narrow(s, len);
                    Emit(sink, field, {}, Truncate(wide, field));
                }
            } else {
                LPCWSTR s = va_arg(args, LPCWSTR);
                Emit(sink, field, {}, Truncate(s ? std::u16string_view(s) : u"(null)", field));
            }
            break;
        }
        default:
            sink.put(conv);
            break;
        }
    }
}

} // namespace text
