#pragma once

#include "tools/vprinter/command_set.h"
#include "tools/vprinter/roll.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace vprinter {

// What the decoder reports, in stream order. Offsets count bytes from the
// first byte the decoder was given.

// ESC @: formats back to their defaults.
struct Initialised {
    std::uint64_t offset = 0;
    friend bool operator==(const Initialised&, const Initialised&) = default;
};

// The attributes a command changed, after range checks.
struct FormatState {
    CharFormat format;
    bool upside_down = false;
    friend bool operator==(const FormatState&, const FormatState&) = default;
};

// One three-byte command that was not part of a complete format block.
struct CommandApplied {
    std::uint64_t offset = 0;
    std::array<std::uint8_t, 3> bytes{};
    // The set the command was read in; empty when the command means the same
    // in every set and no set has been seen yet.
    std::optional<CommandSet> set;
    std::string name; // width, height, size, underline, direction, white
    FormatState state;
    friend bool operator==(const CommandApplied&, const CommandApplied&) = default;
};

// A zero byte followed by the five commands of one set, in that set's order.
struct FormatBlockSeen {
    std::uint64_t offset = 0;
    CommandSet set = CommandSet::A;
    std::array<std::uint8_t, 16> bytes{};
    FormatState state;
    friend bool operator==(const FormatBlockSeen&, const FormatBlockSeen&) = default;
};

struct LinePrinted {
    Line line;
    friend bool operator==(const LinePrinted&, const LinePrinted&) = default;
};

// Bytes the printer does not understand. They are skipped, never printed.
struct UnknownBytes {
    std::uint64_t offset = 0;
    std::vector<std::uint8_t> bytes;
    std::string reason;
    friend bool operator==(const UnknownBytes&, const UnknownBytes&) = default;
};

// A value outside its range and what was made of it, or a line too long
// for the printer's line buffer.
struct ValueWarning {
    std::uint64_t offset = 0;
    std::string message;
    friend bool operator==(const ValueWarning&, const ValueWarning&) = default;
};

// The stream ended inside something: a command, a format block, a
// double-byte character.
struct StreamCut {
    std::uint64_t offset = 0;
    std::vector<std::uint8_t> bytes;
    std::string what;
    friend bool operator==(const StreamCut&, const StreamCut&) = default;
};

using Event = std::variant<Initialised, CommandApplied, FormatBlockSeen, LinePrinted, UnknownBytes,
                           ValueWarning, StreamCut>;

using EventSink = std::function<void(const Event&)>;

} // namespace vprinter
