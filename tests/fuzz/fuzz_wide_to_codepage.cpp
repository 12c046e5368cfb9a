// Wide text to 1252, 936 and UTF-8 under every flag set the program and the
// framework use. Properties: no crash or overflow; the conversion writes
// exactly what its size query counted and never more, also across the two
// flag sets of the printer path; one byte less is refused; text the code
// page can represent comes back unchanged.
#include "fuzz_check.h"
#include "platform/win32/codepage.h"
#include "platform/win32/kernel.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr UINT kPages[] = {1252, 936, CP_UTF8};
constexpr DWORD kFlags[] = {0, 0x200, 0x220, 0x240, 0x210};

std::u16string Decode(UINT cp, const std::string& bytes) {
    const int n =
        MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::u16string out(static_cast<std::size_t>(n), u'\0');
    FUZZ_CHECK(MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(),
                                   n) == n);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const UINT cp = kPages[data[0] % 3];
    DWORD flags = cp == CP_UTF8 ? 0 : kFlags[(data[0] >> 2) % 5];
    const bool own_default = cp != CP_UTF8 && (data[0] & 0x80) != 0;
    const char* default_char = own_default ? "\xA1\xF5" : nullptr;
    std::u16string text;
    for (std::size_t i = 1; i + 1 < size; i += 2) {
        text += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    }
    if (text.empty()) {
        return 0;
    }
    const int len = static_cast<int>(text.size());

    BOOL used = FALSE;
    BOOL* used_ptr = cp == CP_UTF8 ? nullptr : &used;
    const int size_needed =
        WideCharToMultiByte(cp, flags, text.data(), len, nullptr, 0, default_char, nullptr);
    FUZZ_CHECK(size_needed > 0);

    // Exactly sized heap buffers: a write past the end is a sanitizer report.
    std::vector<char> exact(static_cast<std::size_t>(size_needed));
    FUZZ_CHECK(WideCharToMultiByte(cp, flags, text.data(), len, exact.data(), size_needed,
                                   default_char, used_ptr) == size_needed);
    if (size_needed > 1) {
        std::vector<char> short_buffer(static_cast<std::size_t>(size_needed - 1));
        FUZZ_CHECK(WideCharToMultiByte(cp, flags, text.data(), len, short_buffer.data(),
                                       size_needed - 1, default_char, nullptr) == 0);
        FUZZ_CHECK(GetLastError() == ERROR_INSUFFICIENT_BUFFER);
    }

    if (cp != CP_UTF8) {
        // The printer path: sized with 0x220, converted with 0x240.
        const int query =
            WideCharToMultiByte(cp, 0x220, text.data(), len, nullptr, 0, nullptr, nullptr);
        std::vector<char> buffer(static_cast<std::size_t>(query));
        const int written = WideCharToMultiByte(cp, 0x240, text.data(), len, buffer.data(), query,
                                                nullptr, nullptr);
        FUZZ_CHECK(written > 0 && written <= query);
    }

    // Round trip where the code page could represent every character and no
    // composite was folded.
    if (flags == 0 && !used && !own_default) {
        bool well_formed = true;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char16_t c = text[i];
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                text[i + 1] <= 0xDFFF) {
                ++i;
            } else if (c >= 0xD800 && c <= 0xDFFF) {
                well_formed = false;
            }
        }
        if (cp != CP_UTF8 || well_formed) {
            FUZZ_CHECK(Decode(cp, std::string(exact.begin(), exact.end())) == text);
        }
    }
    return 0;
}
