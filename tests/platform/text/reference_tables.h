// The code-page reference data under tests/data/codepages, written once by
// tools/codepages/generate.py from ICU's uconv.
#pragma once

#include "platform/win32/types.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace reference {

struct CodePageData {
    std::map<int, WCHAR> single;          // byte -> character
    std::vector<int> leads;               // lead bytes
    std::map<std::uint16_t, WCHAR> pairs; // lead << 8 | trail -> character
};

struct EncodeSample {
    char32_t ch;
    std::map<unsigned, std::optional<std::string>> bytes; // code page -> bytes, nullopt: default
};

struct CompositeSample {
    unsigned code_page;
    WCHAR base;
    WCHAR mark;
    std::string separate; // expected under flags 0x220
    std::string whole;    // expected under flags 0x240
};

// Fails the calling test (and answers empty data) when the file is missing.
CodePageData LoadCodePage(unsigned code_page);
std::vector<EncodeSample> LoadEncodeSamples();
std::vector<CompositeSample> LoadComposites();

std::string Hex(const std::string& bytes);

} // namespace reference
