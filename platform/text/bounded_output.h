// Output of a code-page conversion: either a caller's buffer of fixed size
// or, for a size query, nothing but a count. Every write goes through here,
// so no conversion can write past the buffer it was given.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace text {

static_assert(std::endian::native == std::endian::little, "units are read as words");

template <typename Unit> class BoundedOutput {
public:
    // dst == nullptr: count only.
    BoundedOutput(Unit* dst, std::size_t capacity) : dst_(dst), capacity_(capacity) {}

    bool Put(Unit u) {
        if (dst_ != nullptr) {
            if (count_ == capacity_) {
                overflow_ = true;
                return false;
            }
            dst_[count_] = u;
        }
        ++count_;
        return true;
    }
    // Two units or none: a double-byte character or a surrogate pair is
    // never split at the end of the buffer.
    bool Put(Unit first, Unit second) {
        if (dst_ != nullptr) {
            if (capacity_ - count_ < 2) {
                overflow_ = true;
                return false;
            }
            dst_[count_] = first;
            dst_[count_ + 1] = second;
        }
        count_ += 2;
        return true;
    }

    // The low bytes of units below 0x100, as many as fit; false when not all
    // did (the output then overflows, as unit by unit).
    bool PutLowBytes(const char16_t* units, std::size_t n) {
        static_assert(sizeof(Unit) == 1, "bytes out");
        if (dst_ != nullptr) {
            const std::size_t room = capacity_ - count_;
            const std::size_t fit = n < room ? n : room;
            Unit* out = dst_ + count_;
            std::size_t i = 0;
            // Four units at a time, as a 64-bit word: their low bytes side by side.
            for (; i + 4 <= fit; i += 4) {
                std::uint64_t w = 0;
                std::memcpy(&w, units + i, sizeof(w));
                w = (w & 0x000000FF000000FFull) | ((w >> 8) & 0x0000FF000000FF00ull);
                const auto four =
                    static_cast<std::uint32_t>((w & 0xFFFFu) | ((w >> 16) & 0xFFFF0000u));
                std::memcpy(out + i, &four, sizeof(four));
            }
            for (; i < fit; ++i) {
                out[i] = static_cast<Unit>(units[i]);
            }
            if (fit < n) {
                count_ += fit;
                overflow_ = true;
                return false;
            }
        }
        count_ += n;
        return true;
    }

    std::size_t count() const { return count_; }
    bool overflow() const { return overflow_; }

private:
    Unit* dst_;
    std::size_t capacity_;
    std::size_t count_ = 0;
    bool overflow_ = false;
};

} // namespace text
