#include "tools/vprinter/json_line.h"

#include "tools/vprinter/describe.h"
#include "tools/vprinter/utf8.h"

#include <cstdio>

namespace vprinter {

std::string json_string(std::string_view utf8) {
    std::string out = "\"";
    for (char ch : utf8) {
        auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20 || c == 0x7F) {
                char esc[8];
                (void)std::snprintf(esc, sizeof esc, "\\u%04X", c);
                out += esc;
            } else {
                out += ch;
            }
        }
    }
    return out + "\"";
}

JsonLine::JsonLine(std::string_view event) : body_("{\"event\":" + json_string(event)) {}

void JsonLine::key(std::string_view name) {
    body_ += "," + json_string(name) + ":";
}

JsonLine& JsonLine::text(std::string_view name, std::string_view value) {
    key(name);
    body_ += json_string(value);
    return *this;
}

JsonLine& JsonLine::number(std::string_view name, std::int64_t value) {
    key(name);
    body_ += std::to_string(value);
    return *this;
}

JsonLine& JsonLine::flag(std::string_view name, bool value) {
    key(name);
    body_ += value ? "true" : "false";
    return *this;
}

JsonLine& JsonLine::null(std::string_view name) {
    key(name);
    body_ += "null";
    return *this;
}

JsonLine& JsonLine::raw(std::string_view name, std::string_view json) {
    key(name);
    body_ += json;
    return *this;
}

namespace {

void add_format(JsonLine& line, const CharFormat& f) {
    line.number("width", f.width).number("height", f.height).flag("underline", f.underline);
}

void add_state(JsonLine& line, const FormatState& s) {
    add_format(line, s.format);
    line.flag("upside_down", s.upside_down).flag("white", s.format.white);
}

std::string runs_json(const Line& l) {
    std::string out = "[";
    for (const Run& run : l.runs) {
        if (out.size() > 1) {
            out += ",";
        }
        out += "{\"text\":" + json_string(to_utf8(run.text)) +
               ",\"width\":" + std::to_string(run.format.width) +
               ",\"height\":" + std::to_string(run.format.height) +
               ",\"underline\":" + (run.format.underline ? "true" : "false") +
               ",\"white\":" + (run.format.white ? "true" : "false") + "}";
    }
    return out + "]";
}

struct ToJson {
    std::optional<std::int64_t> t_us;

    JsonLine start(std::string_view name, std::uint64_t offset) const {
        JsonLine line(name);
        line.number("offset", static_cast<std::int64_t>(offset));
        if (t_us) {
            line.number("t_us", *t_us);
        }
        return line;
    }

    JsonLine operator()(const Initialised& e) const { return start("initialise", e.offset); }
    JsonLine operator()(const FormatBlockSeen& e) const {
        JsonLine line = start("format_block", e.offset);
        line.text("set", command_set_name(e.set)).text("bytes", hex_bytes(e.bytes));
        add_state(line, e.state);
        return line;
    }
    JsonLine operator()(const CommandApplied& e) const {
        JsonLine line = start("command", e.offset);
        if (e.set) {
            line.text("set", command_set_name(*e.set));
        } else {
            line.null("set");
        }
        line.text("name", e.name).text("bytes", hex_bytes(e.bytes));
        add_state(line, e.state);
        return line;
    }
    JsonLine operator()(const LinePrinted& e) const {
        const Line& l = e.line;
        JsonLine line = start("line", l.offset);
        line.text("text", to_utf8(l.text()));
        const CharFormat& f = l.leading_format();
        add_format(line, f);
        line.flag("upside_down", l.upside_down)
            .flag("white", f.white)
            .flag("terminated", l.terminated)
            .raw("runs", runs_json(l));
        return line;
    }
    JsonLine operator()(const UnknownBytes& e) const {
        JsonLine line = start("unknown", e.offset);
        line.text("bytes", hex_bytes(e.bytes)).text("reason", e.reason);
        return line;
    }
    JsonLine operator()(const ValueWarning& e) const {
        JsonLine line = start("warning", e.offset);
        line.text("message", e.message);
        return line;
    }
    JsonLine operator()(const StreamCut& e) const {
        JsonLine line = start("cut", e.offset);
        line.text("what", e.what).text("bytes", hex_bytes(e.bytes));
        return line;
    }
};

} // namespace

std::string json_for(const Event& event, std::optional<std::int64_t> t_us) {
    return std::visit(ToJson{t_us}, event).str();
}

} // namespace vprinter
