#include "tools/vprinter/describe.h"

#include <cstdio>

namespace vprinter {

std::string hex_bytes(std::span<const std::uint8_t> bytes) {
    std::string out;
    for (std::uint8_t b : bytes) {
        char text[4];
        (void)std::snprintf(text, sizeof text, "%02X", b);
        if (!out.empty()) {
            out += ' ';
        }
        out += text;
    }
    return out;
}

std::string describe_state(const FormatState& state) {
    const CharFormat& f = state.format;
    std::string out = "width x" + std::to_string(f.width) + ", height x" + std::to_string(f.height);
    if (f.underline) {
        out += ", underline";
    }
    if (state.upside_down) {
        out += ", upside down";
    }
    if (f.white) {
        out += ", white on black";
    }
    return out;
}

namespace {

std::string at(std::uint64_t offset) {
    return " at byte " + std::to_string(offset);
}

struct Describer {
    std::string operator()(const Initialised& e) const {
        return "initialise (ESC @)" + at(e.offset);
    }
    std::string operator()(const FormatBlockSeen& e) const {
        return "format block, set " + std::string(command_set_name(e.set)) + at(e.offset) + ": " +
               describe_state(e.state);
    }
    std::string operator()(const CommandApplied& e) const {
        std::string set = e.set ? " (set " + std::string(command_set_name(*e.set)) + ")" : "";
        return e.name + " command " + hex_bytes(e.bytes) + set + at(e.offset) + ": now " +
               describe_state(e.state);
    }
    std::string operator()(const LinePrinted&) const { return {}; }
    std::string operator()(const UnknownBytes& e) const {
        return "not understood: " + hex_bytes(e.bytes) + at(e.offset) + " (" + e.reason + ")";
    }
    std::string operator()(const ValueWarning& e) const { return e.message + at(e.offset); }
    std::string operator()(const StreamCut& e) const {
        return "stream ends inside a " + e.what + at(e.offset) + ": " + hex_bytes(e.bytes);
    }
};

} // namespace

std::string describe(const Event& event) {
    return std::visit(Describer{}, event);
}

} // namespace vprinter
