// Output of a code-page conversion: either a caller's buffer of fixed size
// or, for a size query, nothing but a count. Every write goes through here,
// so no conversion can write past the buffer it was given.
#pragma once

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

    // Where n units may be written at once, or nullptr for a size query or
    // a buffer with less room; Wrote then counts the units written there.
    Unit* room(std::size_t n) {
        return dst_ != nullptr && capacity_ - count_ >= n ? dst_ + count_ : nullptr;
    }
    void wrote(std::size_t n) { count_ += n; }
    // For a loop that writes on its own while it has room: where the next
    // unit goes (nullptr for a size query) and how many more fit.
    Unit* next() { return dst_ != nullptr ? dst_ + count_ : nullptr; }
    std::size_t left() const { return capacity_ - count_; }

    std::size_t count() const { return count_; }
    bool overflow() const { return overflow_; }

private:
    Unit* dst_;
    std::size_t capacity_;
    std::size_t count_ = 0;
    bool overflow_ = false;
};

} // namespace text
