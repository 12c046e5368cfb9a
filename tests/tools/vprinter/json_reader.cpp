#include "tests/tools/vprinter/json_reader.h"

#include <sstream>

namespace vprinter::test {

namespace {

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    std::optional<Json> document() {
        auto value = parse_value();
        skip_space();
        if (!value || at_ != text_.size()) {
            return std::nullopt;
        }
        return value;
    }

private:
    void skip_space() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' ||
                                      text_[at_] == '\n' || text_[at_] == '\r')) {
            ++at_;
        }
    }

    bool take(char c) {
        skip_space();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }

    bool take_word(std::string_view word) {
        if (text_.substr(at_, word.size()) == word) {
            at_ += word.size();
            return true;
        }
        return false;
    }

    std::optional<std::string> parse_string() {
        if (!take('"')) {
            return std::nullopt;
        }
        std::string out;
        while (at_ < text_.size()) {
            char c = text_[at_++];
            if (c == '"') {
                return out;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                return std::nullopt;
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (at_ >= text_.size()) {
                return std::nullopt;
            }
            char e = text_[at_++];
            switch (e) {
            case '"':
            case '\\':
            case '/':
                out += e;
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'u': {
                if (at_ + 4 > text_.size()) {
                    return std::nullopt;
                }
                unsigned code = std::stoul(std::string(text_.substr(at_, 4)), nullptr, 16);
                at_ += 4;
                if (code >= 0x80) {
                    return std::nullopt; // the printer only escapes control bytes
                }
                out += static_cast<char>(code);
                break;
            }
            default:
                return std::nullopt;
            }
        }
        return std::nullopt;
    }

    std::optional<Json> parse_value() {
        skip_space();
        Json value;
        if (at_ >= text_.size()) {
            return std::nullopt;
        }
        char c = text_[at_];
        if (c == '"') {
            auto s = parse_string();
            if (!s) {
                return std::nullopt;
            }
            value.kind = Json::Kind::String;
            value.string = *s;
        } else if (c == '{') {
            ++at_;
            value.kind = Json::Kind::Object;
            if (take('}')) {
                return value;
            }
            do {
                auto key = parse_string();
                if (!key || !take(':')) {
                    return std::nullopt;
                }
                auto item = parse_value();
                if (!item) {
                    return std::nullopt;
                }
                value.fields.push_back(JsonField{*key, *item});
            } while (take(','));
            if (!take('}')) {
                return std::nullopt;
            }
        } else if (c == '[') {
            ++at_;
            value.kind = Json::Kind::Array;
            if (take(']')) {
                return value;
            }
            do {
                auto item = parse_value();
                if (!item) {
                    return std::nullopt;
                }
                value.items.push_back(*item);
            } while (take(','));
            if (!take(']')) {
                return std::nullopt;
            }
        } else if (take_word("true")) {
            value.kind = Json::Kind::Bool;
            value.boolean = true;
        } else if (take_word("false")) {
            value.kind = Json::Kind::Bool;
        } else if (take_word("null")) {
            value.kind = Json::Kind::Null;
        } else if (c == '-' || (c >= '0' && c <= '9')) {
            std::size_t end = at_ + 1;
            while (end < text_.size() && text_[end] >= '0' && text_[end] <= '9') {
                ++end;
            }
            value.kind = Json::Kind::Number;
            value.number = std::stoll(std::string(text_.substr(at_, end - at_)));
            at_ = end;
        } else {
            return std::nullopt;
        }
        return value;
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

} // namespace

bool Json::has(std::string_view key) const {
    for (const auto& [name, value] : fields) {
        if (name == key) {
            return true;
        }
    }
    return false;
}

const Json& Json::operator[](std::string_view key) const {
    static const Json null_value;
    for (const auto& [name, value] : fields) {
        if (name == key) {
            return value;
        }
    }
    return null_value;
}

std::optional<Json> parse_json(std::string_view text) {
    return Parser(text).document();
}

std::optional<std::vector<Json>> parse_json_lines(const std::string& text) {
    std::vector<Json> out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        auto value = parse_json(line);
        if (!value) {
            return std::nullopt;
        }
        out.push_back(*value);
    }
    return out;
}

} // namespace vprinter::test
