#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vprinter {

// The capture file keeps every byte with the time it arrived, as text:
//
//   # tallyroll-vprinter capture 1
//   # started 2024-05-01T10:00:00Z
//   <t_us> <offset> <hex bytes>
//
// t_us counts microseconds from the start of the virtual printer; offset
// counts bytes from the first byte received. Bytes read together share a
// time; long reads are split into lines of at most 32 bytes.
class CaptureFile {
public:
    CaptureFile() = default;
    CaptureFile(const CaptureFile&) = delete;
    CaptureFile& operator=(const CaptureFile&) = delete;
    ~CaptureFile();

    // `timed`: the capture format above; otherwise the plain bytes.
    bool open(const std::string& path, bool timed, std::string* error);
    // Written through at once, so that a reader sees each byte as it comes.
    void record(std::int64_t t_us, std::uint64_t offset, std::span<const std::uint8_t> bytes);
    void close();

private:
    std::FILE* file_ = nullptr;
    bool timed_ = false;
};

struct TimedChunk {
    std::int64_t t_us = 0;
    std::vector<std::uint8_t> bytes;
};

inline constexpr const char* kCaptureHeader = "# tallyroll-vprinter capture 1";

// One line of a capture file after its header.
enum class CaptureLine { Bytes, Comment, Malformed };
// Fills `chunk` for a line of bytes; sets `error` for a malformed one.
CaptureLine parse_capture_line(const std::string& line, TimedChunk* chunk, std::string* error);

// Reads a capture file back. Empty, with `error` set, when the text is not a
// capture (no header) or a line is malformed.
std::optional<std::vector<TimedChunk>> parse_capture(const std::string& text, std::string* error);

} // namespace vprinter
