#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vprinter::test {

// Just enough JSON to read the virtual printer's event lines back, and to
// fail on anything that is not valid JSON.
struct JsonField;

struct Json {
    enum class Kind { Null, Bool, Number, String, Array, Object } kind = Kind::Null;
    bool boolean = false;
    std::int64_t number = 0;
    std::string string;
    std::vector<Json> items;
    // std::vector may hold a type completed later; std::pair may not.
    std::vector<JsonField> fields;

    bool has(std::string_view key) const;
    // A missing key reads as null.
    const Json& operator[](std::string_view key) const;
    std::string str() const { return string; }
    std::int64_t num() const { return number; }
    bool flag() const { return boolean; }
};

struct JsonField {
    std::string first; // the key
    Json second;
};

std::optional<Json> parse_json(std::string_view text);

// Every line of a JSON-lines file; empty when a line does not parse.
std::optional<std::vector<Json>> parse_json_lines(const std::string& text);

} // namespace vprinter::test
