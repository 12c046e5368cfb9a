#include "tools/vprinter/code_page.h"

#include <cstring>
#include <iconv.h>

namespace vprinter {

namespace {

// 0x80..0x9F of 1252; zero marks the five bytes the page leaves undefined.
// 0xA0..0xFF are the Latin-1 characters of the same numbers.
constexpr char32_t k1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

constexpr int kFirstLead = 0x81;
constexpr int kFirstTrail = 0x40;
constexpr int kTrailCount = 0xFF - kFirstTrail; // 0x40..0xFE

// glibc knows the double-byte part of 936 as GBK; one call per pair keeps
// an unassigned pair from disturbing its neighbours.
std::vector<char32_t> gbk_pairs() {
    std::vector<char32_t> pairs(static_cast<std::size_t>(0xFF - kFirstLead) * kTrailCount, 0);
    iconv_t cd = iconv_open("UTF-32LE", "GBK");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return pairs;
    }
    for (int lead = kFirstLead; lead <= 0xFE; ++lead) {
        for (int trail = kFirstTrail; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) {
                continue;
            }
            char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            unsigned char out[8] = {};
            char* in_ptr = in;
            char* out_ptr = reinterpret_cast<char*>(out);
            std::size_t in_left = 2;
            std::size_t out_left = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) == static_cast<std::size_t>(-1) ||
                sizeof out - out_left != 4) {
                continue;
            }
            char32_t c = static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
            pairs[static_cast<std::size_t>(lead - kFirstLead) * kTrailCount +
                  static_cast<std::size_t>(trail - kFirstTrail)] = c;
        }
    }
    iconv_close(cd);
    return pairs;
}

} // namespace

std::optional<CodePage> CodePage::open(int number) {
    CodePage page;
    page.number_ = number;
    for (int b = 0x01; b < 0x80; ++b) {
        page.single_[b] = static_cast<char32_t>(b);
    }
    if (number == 1252) {
        for (int b = 0x80; b < 0xA0; ++b) {
            page.single_[b] = k1252High[b - 0x80];
        }
        for (int b = 0xA0; b <= 0xFF; ++b) {
            page.single_[b] = static_cast<char32_t>(b);
        }
        return page;
    }
    if (number == 936) {
        page.single_[0x80] = 0x20AC; // the one single high byte 936 assigns
        for (int b = kFirstLead; b <= 0xFE; ++b) {
            page.lead_[b] = true;
        }
        page.pairs_ = gbk_pairs();
        return page;
    }
    return std::nullopt;
}

std::optional<char32_t> CodePage::single(std::uint8_t byte) const {
    if (single_[byte] == 0) {
        return std::nullopt;
    }
    return single_[byte];
}

std::optional<char32_t> CodePage::pair(std::uint8_t lead, std::uint8_t trail) const {
    if (!lead_[lead] || trail < kFirstTrail || trail == 0xFF || pairs_.empty()) {
        return std::nullopt;
    }
    char32_t c = pairs_[static_cast<std::size_t>(lead - kFirstLead) * kTrailCount +
                        static_cast<std::size_t>(trail - kFirstTrail)];
    if (c == 0) {
        return std::nullopt;
    }
    return c;
}

} // namespace vprinter
