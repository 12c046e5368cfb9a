// The file loader's decoding, fed the same bytes in different pieces.
// Input: one byte choosing the code page (1252 or 936), one byte giving how
// many piece sizes follow (up to 15), those sizes (0..255 each, 0 being an
// empty read), then the file's bytes; what the sizes leave is the last piece.
// Properties: every split gives the text of the whole file read at once, also
// one byte per read; no zero character ever reaches the text; the text is
// what each zero-separated stretch of the file converts to on its own.
#include "document/ansi_text_decoder.h"
#include "fuzz_check.h"
#include "platform/win32/codepage.h"
#include "split_input.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace {

std::u16string Decode(UINT page, std::span<const std::uint8_t> bytes,
                      const std::vector<std::size_t>& pieces) {
    AnsiTextDecoder decoder(page);
    CString out;
    std::size_t at = 0;
    for (std::size_t piece : pieces) {
        decoder.Append(bytes.data() + at, static_cast<DWORD>(piece), out);
        at += piece;
    }
    decoder.Append(bytes.data() + at, static_cast<DWORD>(bytes.size() - at), out);
    decoder.Finish(out);
    return out.str();
}

// Each stretch between zero bytes converted by one call: a lead byte never
// pairs across a zero.
std::u16string ByStretches(UINT page, std::span<const std::uint8_t> bytes) {
    std::u16string text;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= bytes.size(); ++i) {
        if (i < bytes.size() && bytes[i] != 0) {
            continue;
        }
        const auto* s = reinterpret_cast<const char*>(bytes.data() + start);
        const int n = static_cast<int>(i - start);
        if (n > 0) {
            const int need = MultiByteToWideChar(page, 0, s, n, nullptr, 0);
            FUZZ_CHECK(need > 0);
            std::u16string part(static_cast<std::size_t>(need), u'\0');
            FUZZ_CHECK(MultiByteToWideChar(page, 0, s, n, part.data(), need) == need);
            text += part;
        }
        start = i + 1;
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<SplitInput> input = ReadSplitInput(data, size);
    if (!input) {
        return 0;
    }
    const auto& [page, file, pieces] = *input;

    const std::u16string whole = Decode(page, file, {});
    FUZZ_CHECK(whole.find(u'\0') == std::u16string::npos);
    FUZZ_CHECK(whole.size() <= file.size());
    FUZZ_CHECK(Decode(page, file, pieces) == whole);
    if (file.size() > 1) {
        const std::vector<std::size_t> bytewise(file.size() - 1, 1);
        FUZZ_CHECK(Decode(page, file, bytewise) == whole);
    }
    FUZZ_CHECK(ByStretches(page, file) == whole);
    return 0;
}
