#include "tests/platform/text/reference_tables.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace reference {
namespace {

std::vector<std::vector<std::string>> ReadRecords(const std::string& name) {
    const char* dir = std::getenv("TALLYROLL_TEST_DATA");
    const std::string path = std::string(dir ? dir : "tests/data") + "/codepages/" + name;
    std::ifstream in(path);
    EXPECT_TRUE(in.is_open()) << "missing reference data " << path;
    std::vector<std::vector<std::string>> records;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        std::vector<std::string> record;
        for (std::string f; fields >> f;) {
            record.push_back(f);
        }
        records.push_back(std::move(record));
    }
    return records;
}

unsigned long Number(const std::string& hex) {
    return std::stoul(hex, nullptr, 16);
}

std::string Bytes(const std::string& hex) {
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        out += static_cast<char>(std::stoul(hex.substr(i, 2), nullptr, 16));
    }
    return out;
}

} // namespace

CodePageData LoadCodePage(unsigned code_page) {
    CodePageData data;
    for (const auto& r : ReadRecords("cp" + std::to_string(code_page) + ".txt")) {
        if (r.size() == 3 && r[0] == "byte") {
            const int b = static_cast<int>(Number(r[1]));
            if (r[2] == "lead") {
                data.leads.push_back(b);
            } else if (r[2] != "invalid") {
                data.single[b] = static_cast<WCHAR>(Number(r[2]));
            }
        } else if (r.size() >= 2 && r[0] == "pairs") {
            const auto lead = static_cast<std::uint16_t>(Number(r[1]) << 8);
            unsigned trail = 0;
            for (std::size_t i = 2; i < r.size(); ++i) {
                if (r[i][0] == '@') {
                    trail = static_cast<unsigned>(Number(r[i].substr(1)));
                } else {
                    data.pairs[static_cast<std::uint16_t>(lead | trail++)] =
                        static_cast<WCHAR>(Number(r[i]));
                }
            }
        }
    }
    return data;
}

std::vector<EncodeSample> LoadEncodeSamples() {
    std::vector<EncodeSample> samples;
    for (const auto& r : ReadRecords("encode.txt")) {
        EncodeSample s{static_cast<char32_t>(Number(r.at(1))), {}};
        for (std::size_t i = 2; i < r.size(); ++i) {
            const auto eq = r[i].find('=');
            const unsigned cp = static_cast<unsigned>(std::stoul(r[i].substr(0, eq)));
            const std::string value = r[i].substr(eq + 1);
            s.bytes[cp] = value == "default" ? std::nullopt : std::optional(Bytes(value));
        }
        samples.push_back(std::move(s));
    }
    return samples;
}

std::vector<CompositeSample> LoadComposites() {
    std::vector<CompositeSample> samples;
    for (const auto& r : ReadRecords("composites.txt")) {
        samples.push_back({static_cast<unsigned>(std::stoul(r.at(1))),
                           static_cast<WCHAR>(Number(r.at(2))), static_cast<WCHAR>(Number(r.at(3))),
                           Bytes(r.at(4)), Bytes(r.at(5))});
    }
    return samples;
}

std::string Hex(const std::string& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
        out += ' ';
    }
    return out;
}

} // namespace reference
