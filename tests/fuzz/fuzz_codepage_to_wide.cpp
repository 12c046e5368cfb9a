// Bytes in 1252, 936 and UTF-8 to wide text. Properties: no crash or
// overflow; the conversion writes exactly what its size query counted; the
// strict mode either refuses or agrees with the lenient one; valid input
// comes back byte for byte.
#include "fuzz_check.h"
#include "platform/win32/codepage.h"
#include "platform/win32/kernel.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr UINT kPages[] = {1252, 936, CP_UTF8};

std::vector<char16_t> Convert(UINT cp, DWORD flags, const char* bytes, int len) {
    const int n = MultiByteToWideChar(cp, flags, bytes, len, nullptr, 0);
    if (n == 0) {
        return {};
    }
    std::vector<char16_t> out(static_cast<std::size_t>(n));
    FUZZ_CHECK(MultiByteToWideChar(cp, flags, bytes, len, out.data(), n) == n);
    if (n > 1) {
        std::vector<char16_t> short_buffer(static_cast<std::size_t>(n - 1));
        FUZZ_CHECK(MultiByteToWideChar(cp, flags, bytes, len, short_buffer.data(), n - 1) == 0);
        FUZZ_CHECK(GetLastError() == ERROR_INSUFFICIENT_BUFFER);
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const UINT cp = kPages[data[0] % 3];
    const std::vector<char> bytes(data + 1, data + size); // exactly sized
    const int len = static_cast<int>(bytes.size());

    const std::vector<char16_t> lenient = Convert(cp, 0, bytes.data(), len);
    FUZZ_CHECK(!lenient.empty());
    const std::vector<char16_t> strict = Convert(cp, MB_ERR_INVALID_CHARS, bytes.data(), len);
    if (strict.empty()) {
        FUZZ_CHECK(GetLastError() == ERROR_NO_UNICODE_TRANSLATION);
        return 0;
    }
    FUZZ_CHECK(strict == lenient);

    if (cp != CP_UTF8) {
        Convert(cp, MB_COMPOSITE, bytes.data(), len);
    }

    // Valid input: back to the same bytes.
    const int back = WideCharToMultiByte(cp, 0, lenient.data(), static_cast<int>(lenient.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string again(static_cast<std::size_t>(back), '\0');
    FUZZ_CHECK(WideCharToMultiByte(cp, 0, lenient.data(), static_cast<int>(lenient.size()),
                                   again.data(), back, nullptr, nullptr) == back);
    FUZZ_CHECK(again == std::string(bytes.begin(), bytes.end()));
    return 0;
}
