// Output of a code-page conversion: either a caller's buffer of fixed size
// or, for a size query, nothing but a count. Every write goes through here,
// so no conversion can write past the buffer it was given.
#pragma once

#include "platform/text/unit_runs.h"

#include <cstddef>

namespace text {

template <typename Unit> class BoundedOutput {
public:
    // dst == nullptr: count only.
    BoundedOutput(Unit* dst, std::size_t capacity) : dst_(dst), capacity_(capacity) {}

    bool put(Unit u) {
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
    bool put(Unit first, Unit second) {
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
    bool putLowBytes(const char16_t* units, std::size_t n) {
        static_assert(sizeof(Unit) == 1, "bytes out");
        if (dst_ != nullptr) {
            const std::size_t room = capacity_ - count_;
            const std::size_t fit = n < room ? n : room;
            Unit* out = dst_ + count_;
            std::size_t i = 0;
            for (; i + 8 <= fit; i += 8) {
                NarrowEight(units + i, reinterpret_cast<unsigned char*>(out + i));
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

    // Where n units may be written at once, or nullptr for a size query or
    // a buffer with less room; Wrote then counts the units written there.
    Unit* room(std::size_t n) {
        return dst_ != nullptr && capacity_ - count_ >= n ? dst_ + count_ : nullptr;
    }
    void wrote(std::size_t n) { count_ += n; }

    std::size_t count() const { return count_; }
    bool overflow() const { return overflow_; }

private:
    Unit* dst_;
    std::size_t capacity_;
    std::size_t count_ = 0;
    bool overflow_ = false;
};

} // namespace text
