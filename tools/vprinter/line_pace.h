// The pace of a serial line: how many bytes a reader may take so that it
// reads no faster than the line itself carries them. A real printer at
// 115200 baud takes a byte every eleven bits (start, eight data bits, even
// parity, stop), about 10,473 bytes a second; a pseudo-terminal would take
// megabytes. The tests' printer and the virtual printer both read through
// this, in small steps, so that a job lasts as long as it does on paper.
// Header-only: the tests' printer shares it without linking the tool.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace vprinter {

class LinePace {
public:
    // How often a paced reader looks at the line.
    static constexpr std::int64_t kStepUs = 10000;
    // Bits a byte takes on the wire in 8E1.
    static constexpr unsigned kBitsPerByte = 11;

    // 0 baud: no pace, every look may take everything.
    explicit LinePace(unsigned baud = 0) : baud_(baud) {}

    bool paced() const { return baud_ != 0; }
    unsigned baud() const { return baud_; }

    // The bytes the line has carried by now_us (microseconds on any steady
    // clock) that were not yet taken. A line that sat empty holds no
    // backlog of speed: at most four steps' worth (or one byte) is owed at
    // once, room enough for a reader that looks every 20 ms and wakes late.
    std::size_t allowance(std::int64_t now_us) {
        if (!paced()) {
            return SIZE_MAX;
        }
        if (last_us_ < 0) {
            last_us_ = now_us - kStepUs;
        }
        const std::int64_t elapsed = std::max<std::int64_t>(0, now_us - last_us_);
        last_us_ = now_us;
        const std::int64_t most =
            std::max(4 * kStepUs * std::int64_t{baud_}, std::int64_t{kBitsPerByte} * 1000000);
        bit_us_ = std::min(most, bit_us_ + elapsed * baud_);
        return static_cast<std::size_t>(bit_us_ / (std::int64_t{kBitsPerByte} * 1000000));
    }

    // n bytes (no more than the allowance) were taken.
    void took(std::size_t n) {
        if (paced()) {
            bit_us_ -= static_cast<std::int64_t>(n) * kBitsPerByte * 1000000;
            bit_us_ = std::max<std::int64_t>(0, bit_us_);
        }
    }

private:
    unsigned baud_;
    std::int64_t last_us_ = -1;
    std::int64_t bit_us_ = 0; // bit-microseconds carried and not yet taken
};

} // namespace vprinter
