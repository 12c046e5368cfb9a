#include "tools/vprinter/capture.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <sstream>

namespace vprinter {

CaptureFile::~CaptureFile() {
    close();
}

bool CaptureFile::open(const std::string& path, bool timed, std::string* error) {
    close();
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) {
        *error = path + ": " + std::strerror(errno);
        return false;
    }
    timed_ = timed;
    if (timed_) {
        char started[32] = "unknown";
        std::time_t now = std::time(nullptr);
        std::tm utc{};
        if (gmtime_r(&now, &utc) != nullptr) {
            std::strftime(started, sizeof started, "%Y-%m-%dT%H:%M:%SZ", &utc);
        }
        std::fprintf(file_, "%s\n# started %s\n", kCaptureHeader, started);
        std::fflush(file_);
    }
    return true;
}

void CaptureFile::record(std::int64_t t_us, std::uint64_t offset,
                         std::span<const std::uint8_t> bytes) {
    if (file_ == nullptr) {
        return;
    }
    if (!timed_) {
        std::fwrite(bytes.data(), 1, bytes.size(), file_);
        std::fflush(file_);
        return;
    }
    constexpr std::size_t kPerLine = 32;
    for (std::size_t at = 0; at < bytes.size(); at += kPerLine) {
        std::fprintf(file_, "%lld %llu", static_cast<long long>(t_us),
                     static_cast<unsigned long long>(offset + at));
        for (std::size_t i = at; i < bytes.size() && i < at + kPerLine; ++i) {
            std::fprintf(file_, " %02X", bytes[i]);
        }
        std::fputc('\n', file_);
    }
    std::fflush(file_);
}

void CaptureFile::close() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

std::optional<std::vector<TimedChunk>> parse_capture(const std::string& text, std::string* error) {
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line != kCaptureHeader) {
        *error = "not a capture file";
        return std::nullopt;
    }
    std::vector<TimedChunk> chunks;
    int number = 1;
    while (std::getline(in, line)) {
        ++number;
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        long long t_us = 0;
        unsigned long long offset = 0;
        if (!(fields >> t_us >> offset)) {
            *error = "line " + std::to_string(number) + ": expected time and offset";
            return std::nullopt;
        }
        // Consecutive lines of one read share their time.
        if (chunks.empty() || chunks.back().t_us != t_us) {
            chunks.push_back(TimedChunk{t_us, {}});
        }
        std::string hex;
        while (fields >> hex) {
            char* end = nullptr;
            unsigned long value = std::strtoul(hex.c_str(), &end, 16);
            if (hex.size() != 2 || *end != '\0' || value > 0xFF) {
                *error = "line " + std::to_string(number) + ": bad byte '" + hex + "'";
                return std::nullopt;
            }
            chunks.back().bytes.push_back(static_cast<std::uint8_t>(value));
        }
    }
    return chunks;
}

} // namespace vprinter
