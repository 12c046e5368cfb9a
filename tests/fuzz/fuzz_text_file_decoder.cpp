// The file loader's choice of encoding, fed the same bytes in different
// pieces and read again from the start whenever the decoder asks, as the
// loader does.
// Input: one byte choosing the ANSI code page (1252 or 936), one byte giving
// how many piece sizes follow (up to 15), those sizes (0..255 each), then the
// file's bytes; what the sizes leave is the last piece.
// Properties: every split gives the text of the whole file read at once, also
// one byte per read; the file is read at most twice; no zero character ever
// reaches the text, which never has more units than the file has bytes; and
// the text is what the file's encoding says: UTF-16 after its mark, the whole
// file converted at once when it is UTF-8, else what the ANSI decoder reads.
#include "document/ansi_text_decoder.h"
#include "document/text_file_decoder.h"
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

struct Decoded {
    std::u16string text;
    int passes = 0;
};

Decoded Decode(UINT page, std::span<const std::uint8_t> bytes,
               const std::vector<std::size_t>& pieces) {
    TextFileDecoder decoder(page);
    Decoded d;
    for (bool done = false; !done;) {
        FUZZ_CHECK(++d.passes <= 2);
        CString out;
        std::size_t at = 0;
        done = true;
        for (std::size_t piece : pieces) {
            done = done && decoder.Append(bytes.data() + at, static_cast<DWORD>(piece), out);
            at += piece;
        }
        done = done &&
               decoder.Append(bytes.data() + at, static_cast<DWORD>(bytes.size() - at), out) &&
               decoder.Finish(out);
        d.text = out.str();
    }
    return d;
}

// UTF-16 after its mark, written the plain way: a unit at a time, zeros
// dropped, whatever cannot be spelled as U+FFFD.
std::u16string Utf16Reference(std::span<const std::uint8_t> bytes, bool bigEndian) {
    std::vector<char16_t> units;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        units.push_back(static_cast<char16_t>(bigEndian ? (bytes[i] << 8) | bytes[i + 1]
                                                        : (bytes[i + 1] << 8) | bytes[i]));
    }
    const auto high = [](char16_t u) { return u >= 0xD800 && u <= 0xDBFF; };
    const auto low = [](char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; };
    std::u16string text;
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (high(units[i]) && i + 1 < units.size() && low(units[i + 1])) {
            text += units[i];
            text += units[++i];
        } else if (high(units[i]) || low(units[i])) {
            text += u'\uFFFD';
        } else if (units[i] != 0) {
            text += units[i];
        }
    }
    if (bytes.size() % 2 != 0) {
        text += u'\uFFFD';
    }
    return text;
}

// The whole file as UTF-8 in one strict conversion, or false.
bool Utf8Reference(std::span<const std::uint8_t> bytes, std::u16string& text) {
    std::span<const std::uint8_t> body = bytes;
    if (body.size() >= 3 && body[0] == 0xEF && body[1] == 0xBB && body[2] == 0xBF) {
        body = body.subspan(3);
    }
    text.clear();
    if (body.empty()) {
        return true;
    }
    const auto* s = reinterpret_cast<const char*>(body.data());
    const int n = static_cast<int>(body.size());
    text.resize(body.size());
    const int written = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s, n, text.data(), n);
    if (written <= 0) {
        return false;
    }
    text.resize(static_cast<std::size_t>(written));
    text.erase(std::remove(text.begin(), text.end(), u'\0'), text.end());
    return true;
}

std::u16string AnsiReference(UINT page, std::span<const std::uint8_t> bytes) {
    AnsiTextDecoder decoder(page);
    CString out;
    decoder.Append(bytes.data(), static_cast<DWORD>(bytes.size()), out);
    decoder.Finish(out);
    return out.str();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<SplitInput> input = ReadSplitInput(data, size);
    if (!input) {
        return 0;
    }
    const auto& [page, file, pieces] = *input;

    const Decoded whole = Decode(page, file, {});
    FUZZ_CHECK(whole.text.find(u'\0') == std::u16string::npos);
    FUZZ_CHECK(whole.text.size() <= file.size());
    FUZZ_CHECK(Decode(page, file, pieces).text == whole.text);
    if (file.size() > 1) {
        const std::vector<std::size_t> bytewise(file.size() - 1, 1);
        FUZZ_CHECK(Decode(page, file, bytewise).text == whole.text);
    }

    std::u16string utf8;
    if (file.size() >= 2 && file[0] == 0xFF && file[1] == 0xFE) {
        FUZZ_CHECK(whole.text == Utf16Reference(file, false));
    } else if (file.size() >= 2 && file[0] == 0xFE && file[1] == 0xFF) {
        FUZZ_CHECK(whole.text == Utf16Reference(file, true));
    } else if (Utf8Reference(file, utf8)) {
        FUZZ_CHECK(whole.text == utf8);
        FUZZ_CHECK(whole.passes == 1);
    } else {
        FUZZ_CHECK(whole.text == AnsiReference(page, file));
    }
    return 0;
}
