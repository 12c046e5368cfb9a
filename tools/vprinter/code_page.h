#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace vprinter {

// The printer's character set: which bytes begin a two-byte character and
// what each character is. Only 1252 and 936 are known; they are the pages
// Tallyroll is tested against.
class CodePage {
public:
    // Empty for a page we do not carry.
    static std::optional<CodePage> open(int number);

    int number() const { return number_; }
    bool is_lead_byte(std::uint8_t byte) const { return lead_[byte]; }
    // A byte that stands alone. Empty when the page leaves it undefined.
    std::optional<char32_t> single(std::uint8_t byte) const;
    // A lead byte and its trail byte. Empty for an invalid or unassigned pair.
    std::optional<char32_t> pair(std::uint8_t lead, std::uint8_t trail) const;

private:
    CodePage() = default;

    int number_ = 0;
    std::array<char32_t, 256> single_{}; // 0: undefined (byte 0 is never text)
    std::array<bool, 256> lead_{};
    std::vector<char32_t> pairs_; // lead 0x81..0xFE x trail 0x40..0xFE, 0 = none
};

} // namespace vprinter
