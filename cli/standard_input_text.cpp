#include "cli/standard_input_text.h"

#include "document/text_file_decoder.h"
#include "document/text_file_loader.h"
#include "platform/win32/codepage.h"

#include <algorithm>
#include <new>
#include <vector>

namespace {

// A pipe cannot be read twice, and the decoder may have to start again from
// the first byte once it learns the text is not UTF-8: the bytes are kept.
bool ReadAll(std::FILE* stream, std::vector<BYTE>& bytes) {
    constexpr std::size_t kBlock = std::size_t{64} * 1024;
    for (;;) {
        const std::size_t at = bytes.size();
        bytes.resize(at + kBlock);
        const std::size_t got = std::fread(bytes.data() + at, 1, kBlock, stream);
        bytes.resize(at + got);
        if (got < kBlock) {
            return std::ferror(stream) == 0;
        }
    }
}

// One pass over the bytes as the loader's reads hand them over; false when
// the decoder asks for the text again from its start. Input that ended in a
// failed read is stopped rather than finished, as the loader stops a file:
// the cut says nothing about the encoding.
bool DecodeOnce(const std::vector<BYTE>& bytes, bool complete, TextFileDecoder& decoder,
                CString& text) {
    for (std::size_t at = 0; at < bytes.size(); at += kLoadChunkSize) {
        const std::size_t count = std::min<std::size_t>(kLoadChunkSize, bytes.size() - at);
        if (!decoder.Append(bytes.data() + at, static_cast<DWORD>(count), text)) {
            return false;
        }
    }
    if (!complete) {
        decoder.Stop(text);
        return true;
    }
    return decoder.Finish(text);
}

} // namespace

bool ReadStandardInputText(std::FILE* stream, CString& text) {
    text.Empty();
    try {
        std::vector<BYTE> bytes;
        const bool complete = ReadAll(stream, bytes);
        TextFileDecoder decoder(CP_ACP, AmbiguousTextPreference());
        // The text and the line end the print job appends (as the loader).
        text.str().reserve(bytes.size() + 2);
        // At most one more pass: the decoder reads in the ANSI code page after.
        while (!DecodeOnce(bytes, complete, decoder, text)) {
            text.Empty();
        }
        return complete;
    } catch (const std::bad_alloc&) {
        std::basic_string<WCHAR>().swap(text.str());
        return false;
    }
}
