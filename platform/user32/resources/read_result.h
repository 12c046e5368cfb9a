// What a resource reader answers: the plain value, or why the bytes are not
// one (with the byte offset where reading stopped).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>

namespace user32 {

struct ReadError {
    std::string message;
    std::size_t offset = 0;
};

template <typename T> class ReadResult {
public:
    ReadResult(T value) : value_(std::move(value)) {}
    ReadResult(ReadError error) : error_(std::move(error)) {}

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    const T& value() const { return *value_; }
    T& value() { return *value_; }
    const T* operator->() const { return &*value_; }
    const ReadError& error() const { return error_; }

private:
    std::optional<T> value_;
    ReadError error_;
};

} // namespace user32
