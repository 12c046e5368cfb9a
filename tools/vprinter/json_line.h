#pragma once

#include "tools/vprinter/events.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vprinter {

// One JSON object on one line, keys in the order they are added, beginning
// with "event". Strings are UTF-8 with the escapes JSON requires.
class JsonLine {
public:
    explicit JsonLine(std::string_view event);

    JsonLine& text(std::string_view name, std::string_view value);
    JsonLine& number(std::string_view name, std::int64_t value);
    JsonLine& flag(std::string_view name, bool value);
    JsonLine& null(std::string_view name);
    // `json` must already be valid JSON (an array or object built elsewhere).
    JsonLine& raw(std::string_view name, std::string_view json);

    // The object, closed, without a line break.
    std::string str() const { return body_ + "}"; }

private:
    void key(std::string_view name);
    std::string body_;
};

std::string json_string(std::string_view utf8);

// The decoded-event line for a decoder event; `t_us` is the arrival time of
// the bytes that completed it, when known.
std::string json_for(const Event& event, std::optional<std::int64_t> t_us);

} // namespace vprinter
