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
            (void)std::strftime(started, sizeof started, "%Y-%m-%dT%H:%M:%SZ", &utc);
        }
        (void)std::fprintf(file_, "%s\n# started %s\n", kCaptureHeader, started);
        (void)std::fflush(file_);
    }
    return true;
}

void CaptureFile::record(std::int64_t t_us, std::uint64_t offset,
                         std::span<const std::uint8_t> bytes) {
    if (file_ == nullptr) {
        return;
    }
    if (!timed_) {
        (void)std::fwrite(bytes.data(), 1, bytes.size(), file_);
        (void)std::fflush(file_);
        return;
    }
    constexpr std::size_t kPerLine = 32;
    for (std::size_t at = 0; at < bytes.size(); at += kPerLine) {
        (void)std::fprintf(file_, "%lld %llu", static_cast<long long>(t_us),
                           static_cast<unsigned long long>(offset) + at);
        for (std::size_t i = at; i < bytes.size() && i < at + kPerLine; ++i) {
            (void)std::fprintf(file_, " %02X", bytes[i]);
        }
        (void)std::fputc('\n', file_);
    }
    (void)std::fflush(file_);
}

void CaptureFile::close() {
    if (file_ != nullptr) {
        (void)std::fclose(file_); // nothing more can be done about a capture that failed
        file_ = nullptr;
    }
}

CaptureLine parse_capture_line(const std::string& line, TimedChunk* chunk, std::string* error) {
    if (line.empty() || line[0] == '#') {
        return CaptureLine::Comment;
    }
    std::istringstream fields(line);
    long long t_us = 0;
    unsigned long long offset = 0;
    if (!(fields >> t_us >> offset)) {
        *error = "expected time and offset";
        return CaptureLine::Malformed;
    }
    chunk->t_us = t_us;
    chunk->bytes.clear();
    std::string hex;
    while (fields >> hex) {
        char* end = nullptr;
        unsigned long value = std::strtoul(hex.c_str(), &end, 16);
        if (hex.size() != 2 || *end != '\0' || value > 0xFF) {
            *error = "bad byte '" + hex + "'";
            return CaptureLine::Malformed;
        }
        chunk->bytes.push_back(static_cast<std::uint8_t>(value));
    }
    return CaptureLine::Bytes;
}

std::optional<std::vector<TimedChunk>> parse_capture(const std::string& text, std::string* error) {
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line != kCaptureHeader) {
        *error = "not a capture file";
        return std::nullopt;
    }
    std::vector<TimedChunk> chunks;
    TimedChunk chunk;
    int number = 1;
    while (std::getline(in, line)) {
        ++number;
        switch (parse_capture_line(line, &chunk, error)) {
        case CaptureLine::Comment:
            continue;
        case CaptureLine::Malformed:
            *error = "line " + std::to_string(number) + ": " + *error;
            return std::nullopt;
        case CaptureLine::Bytes:
            break;
        }
        // Consecutive lines of one read share their time.
        if (chunks.empty() || chunks.back().t_us != chunk.t_us) {
            chunks.push_back(TimedChunk{chunk.t_us, {}});
        }
        chunks.back().bytes.insert(chunks.back().bytes.end(), chunk.bytes.begin(),
                                   chunk.bytes.end());
    }
    return chunks;
}

} // namespace vprinter
