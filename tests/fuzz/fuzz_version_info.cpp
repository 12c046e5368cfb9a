// Any bytes as a version block. Properties: no crash, no read past the end
// and no runaway depth; an accepted block's strings hold no zero and fit,
// with the translations, inside the bytes; a block the resource compiler
// could have written (fixed part, one string table, one translation), laid
// out by that compiler, reads back to the same values.
#include "fuzz_check.h"
#include "platform/user32/resources/version_info.h"
#include "res/compiler/layouts.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

namespace {

using user32::VersionInfo;

bool NoZero(std::u16string_view s) {
    return s.find(u'\0') == std::u16string_view::npos;
}

bool SameFixed(const user32::FixedFileInfo& a, const user32::FixedFileInfo& b) {
    return a.signature == b.signature && a.structVersion == b.structVersion &&
           a.fileVersionMS == b.fileVersionMS && a.fileVersionLS == b.fileVersionLS &&
           a.productVersionMS == b.productVersionMS && a.productVersionLS == b.productVersionLS &&
           a.fileFlagsMask == b.fileFlagsMask && a.fileFlags == b.fileFlags &&
           a.fileOS == b.fileOS && a.fileType == b.fileType && a.fileSubtype == b.fileSubtype &&
           a.fileDateMS == b.fileDateMS && a.fileDateLS == b.fileDateLS;
}

bool SameInfo(const VersionInfo& a, const VersionInfo& b) {
    if (a.hasFixed != b.hasFixed || !SameFixed(a.fixed, b.fixed) ||
        a.translations != b.translations || a.stringTables.size() != b.stringTables.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.stringTables.size(); ++i) {
        if (a.stringTables[i].key != b.stringTables[i].key ||
            a.stringTables[i].strings != b.stringTables[i].strings) {
            return false;
        }
    }
    return true;
}

res::FourPartVersion Parts(DWORD ms, DWORD ls) {
    return {static_cast<WORD>(ms >> 16), static_cast<WORD>(ms), static_cast<WORD>(ls >> 16),
            static_cast<WORD>(ls)};
}

void CheckCompilerRoundTrip(const VersionInfo& info) {
    const user32::FixedFileInfo& f = info.fixed;
    if (!info.hasFixed || f.structVersion != 0x00010000 || info.stringTables.size() != 1 ||
        info.translations.size() != 1) {
        return;
    }
    std::vector<res::VersionString> strings;
    for (const auto& [key, value] : info.stringTables[0].strings) {
        strings.push_back({key, value});
    }
    const DWORD translation = info.translations[0];
    const res::VersionDefinition definition{
        .id = 1,
        .language = 0,
        .fileVersion = Parts(f.fileVersionMS, f.fileVersionLS),
        .productVersion = Parts(f.productVersionMS, f.productVersionLS),
        .flagsMask = f.fileFlagsMask,
        .flags = f.fileFlags,
        .os = f.fileOS,
        .type = f.fileType,
        .subtype = f.fileSubtype,
        .dateMS = f.fileDateMS,
        .dateLS = f.fileDateLS,
        .stringTable = info.stringTables[0].key,
        .strings = strings,
        .translationLanguage = static_cast<WORD>(translation),
        .translationCodePage = static_cast<WORD>(translation >> 16),
    };
    std::vector<std::uint8_t> compiled;
    try {
        compiled = res::LayOutVersion(definition);
    } catch (const std::length_error&) {
        return; // more than one block can hold; the compiler says so
    }
    const auto back = user32::ReadVersionInfo(compiled);
    FUZZ_CHECK(back.ok());
    FUZZ_CHECK(SameInfo(back.value(), info));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> in(data, size);
    const auto read = user32::ReadVersionInfo(in);
    if (!read) {
        FUZZ_CHECK(read.error().offset <= size);
        return 0;
    }
    const VersionInfo& info = read.value();
    FUZZ_CHECK(!info.hasFixed || info.fixed.signature == user32::kFixedFileInfoSignature);

    // Every key and value was read as UTF-16 up to its terminator, from the
    // input and nowhere else.
    std::size_t characters = 0;
    for (const auto& table : info.stringTables) {
        FUZZ_CHECK(NoZero(table.key));
        characters += table.key.size() + 1;
        for (const auto& [key, value] : table.strings) {
            FUZZ_CHECK(NoZero(key) && NoZero(value));
            characters += key.size() + 1 + value.size();
        }
    }
    FUZZ_CHECK(2 * characters + 4 * info.translations.size() <= size);

    CheckCompilerRoundTrip(info);
    return 0;
}
