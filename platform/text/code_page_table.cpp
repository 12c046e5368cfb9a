#include "platform/text/code_page_table.h"

#include "platform/win32/codepage.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

namespace text {
namespace {

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

// ICU keeps Microsoft's own tables under "windows-NNNN-2000" where an older
// IBM-derived table also answers to "windows-NNNN"; the former is the one
// the original platform used.
Converter OpenStrict(UINT code_page) {
    for (const char* suffix : {"-2000", ""}) {
        const std::string name = "windows-" + std::to_string(code_page) + suffix;
        UErrorCode err = U_ZERO_ERROR;
        Converter cnv(ucnv_open(name.c_str(), &err));
        if (U_FAILURE(err) || !cnv) {
            continue;
        }
        // Exact mappings only: unassigned input must come back as an error,
        // never as a substitute or a best-fit look-alike.
        ucnv_setFallback(cnv.get(), false);
        ucnv_setToUCallBack(cnv.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &err);
        ucnv_setFromUCallBack(cnv.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                              &err);
        if (U_SUCCESS(err)) {
            return cnv;
        }
    }
    return nullptr;
}

char16_t DecodeOne(UConverter* cnv, const char* bytes, int length) {
    UErrorCode err = U_ZERO_ERROR;
    UChar out[4];
    const int32_t n = ucnv_toUChars(cnv, out, 4, bytes, length, &err);
    ucnv_resetToUnicode(cnv);
    if (U_FAILURE(err) || n != 1 || IS_HIGH_SURROGATE(out[0]) || IS_LOW_SURROGATE(out[0])) {
        return CodePageTable::kNoChar;
    }
    return out[0];
}

std::uint16_t EncodeOne(UConverter* cnv, char16_t c) {
    UErrorCode err = U_ZERO_ERROR;
    char out[8];
    const UChar in = c;
    const int32_t n = ucnv_fromUChars(cnv, out, sizeof out, &in, 1, &err);
    ucnv_resetFromUnicode(cnv);
    if (U_FAILURE(err)) {
        return CodePageTable::kNoBytes;
    }
    if (n == 1) {
        return static_cast<unsigned char>(out[0]);
    }
    if (n == 2) {
        return static_cast<std::uint16_t>((static_cast<unsigned char>(out[0]) << 8) |
                                          static_cast<unsigned char>(out[1]));
    }
    return CodePageTable::kNoBytes;
}

} // namespace

const CodePageTable* CodePageTable::find(UINT code_page) {
    static std::mutex mutex;
    static std::map<UINT, std::unique_ptr<const CodePageTable>> tables;
    std::lock_guard lock(mutex);
    auto it = tables.find(code_page);
    if (it == tables.end()) {
        it = tables.emplace(code_page, build(code_page)).first;
    }
    return it->second.get();
}

const CodePageTable* CodePageTable::build(UINT code_page) {
    Converter cnv = OpenStrict(code_page);
    if (!cnv) {
        return nullptr;
    }
    const UConverterType type = ucnv_getType(cnv.get());
    const int8_t max_bytes = ucnv_getMaxCharSize(cnv.get());
    const bool single = max_bytes == 1;
    const bool dual = max_bytes == 2 && (type == UCNV_MBCS || type == UCNV_DBCS);
    if (!single && !dual) {
        return nullptr; // stateful and variable-width encodings are not ANSI pages
    }

    auto table = std::unique_ptr<CodePageTable>(new CodePageTable);
    table->codePage_ = code_page;
    table->doubleByte_ = dual;
    table->unicodeDefault_ = code_page == 932 ? u'\x30FB' : u'?';
    table->defaultBytes_ = '?';
    table->single_.fill(kNoChar);
    table->toBytes_.assign(0x10000, kNoBytes);

    if (dual) {
        UBool starters[256] = {};
        UErrorCode err = U_ZERO_ERROR;
        ucnv_getStarters(cnv.get(), starters, &err);
        if (U_FAILURE(err)) {
            return nullptr;
        }
        for (int b = 0; b < 256; ++b) {
            table->lead_[static_cast<std::size_t>(b)] = starters[b] != 0;
        }
        table->pairs_.assign(0x10000, kNoChar);
    }

    // Every byte sequence once to Unicode; the reverse direction is the
    // inverse of these, confirmed below.
    std::vector<std::uint16_t> candidate(0x10000, kNoBytes);
    for (int b = 0; b < 256; ++b) {
        if (table->lead_[static_cast<std::size_t>(b)]) {
            for (int t = 0; t < 256; ++t) {
                const char bytes[2] = {static_cast<char>(b), static_cast<char>(t)};
                const char16_t c = DecodeOne(cnv.get(), bytes, 2);
                if (c == kNoChar) {
                    continue;
                }
                const auto seq = static_cast<std::uint16_t>((b << 8) | t);
                table->pairs_[seq] = c;
                table->trail_[static_cast<std::size_t>(t)] = true;
                candidate[c] = candidate[c] == kNoBytes ? seq : std::uint16_t(kNoBytes - 1);
            }
        } else {
            const char byte = static_cast<char>(b);
            const char16_t c = DecodeOne(cnv.get(), &byte, 1);
            table->single_[static_cast<std::size_t>(b)] = c;
            if (c != kNoChar) {
                candidate[c] = candidate[c] == kNoBytes ? static_cast<std::uint16_t>(b)
                                                        : std::uint16_t(kNoBytes - 1);
            }
        }
    }

    // A character is written only where its bytes read back as itself: that
    // leaves out ICU's one-way mappings, which Win32 calls best fit.
    const auto decodes_to = [&](std::uint16_t seq, char16_t c) {
        if (seq < 0x100) {
            return !table->lead_[seq] && table->single_[seq] == c;
        }
        return table->doubleByte_ && table->lead_[seq >> 8] && table->pairs_[seq] == c;
    };
    for (std::size_t c = 0; c < 0x10000; ++c) {
        if (candidate[c] == kNoBytes) {
            continue;
        }
        const char16_t ch = static_cast<char16_t>(c);
        std::uint16_t seq = candidate[c];
        if (seq == kNoBytes - 1) { // several sequences decode to c: ask ICU which is canonical
            seq = EncodeOne(cnv.get(), ch);
        }
        if (seq != kNoBytes && decodes_to(seq, ch)) {
            table->toBytes_[c] = seq;
        }
    }
    table->asciiAsIs_ = table->latin1AsIs_ = true;
    for (char16_t c = 0; c < 0x100; ++c) {
        bool& as_is = c < 0x80 ? table->asciiAsIs_ : table->latin1AsIs_;
        as_is = as_is && (c >= 0x80 && c < 0xA0 ? true : table->toBytes_[c] == c);
    }
    table->latin1AsIs_ = table->latin1AsIs_ && table->asciiAsIs_;
    table->asciiReadsAsIs_ = table->latin1ReadsAsIs_ = true;
    for (unsigned b = 0; b < 0x100; ++b) {
        if (b >= 0x80 && b < 0xA0) {
            continue;
        }
        bool& as_is = b < 0x80 ? table->asciiReadsAsIs_ : table->latin1ReadsAsIs_;
        as_is = as_is && !table->lead_[b] && table->single_[b] == b;
    }
    table->latin1ReadsAsIs_ = table->latin1ReadsAsIs_ && table->asciiReadsAsIs_;
    if (dual) {
        table->twoBytes_.assign(0x10000, kNoChar);
        for (std::size_t first = 0; first < 0x100; ++first) {
            for (std::size_t second = 0; second < 0x100; ++second) {
                table->twoBytes_[first | second << 8] = table->lead_[first]
                                                            ? table->pairs_[first << 8 | second]
                                                            : table->single_[first];
            }
        }
        std::size_t first = 0;
        while (first < 0x100 && !table->lead_[first]) {
            ++first;
        }
        std::size_t last = first;
        while (last + 1 < 0x100 && table->lead_[last + 1]) {
            ++last;
        }
        std::size_t after = last + 1;
        while (after < 0x100 && !table->lead_[after]) {
            ++after;
        }
        table->leadsInOneRange_ = first < 0x100 && after == 0x100;
        table->firstLead_ = static_cast<std::uint8_t>(first & 0xFF);
        table->lastLead_ = static_cast<std::uint8_t>(last & 0xFF);
    }
    return table.release();
}

} // namespace text
