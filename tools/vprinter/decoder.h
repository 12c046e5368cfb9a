#pragma once

#include "tools/vprinter/code_page.h"
#include "tools/vprinter/command_set.h"
#include "tools/vprinter/events.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vprinter {

// Reads the printer byte stream the way a small thermal printer does and
// reports what it would print. Bytes may arrive in pieces of any size: the
// events do not depend on where a stream is split.
class Decoder {
public:
    // The most characters a line holds. A printer prints its line buffer
    // when it fills; here a longer line is printed in pieces of this many
    // characters (256 rows of paper at x1), each unterminated, with a
    // warning, so that no line grows without bound.
    static constexpr std::size_t kLongestLine = 12288;

    // `model` fixes the command set; without it each command is read in the
    // set that the commands before it have shown.
    Decoder(CodePage page, std::optional<CommandSet> model, EventSink sink);

    void feed(std::span<const std::uint8_t> bytes);
    // The stream has ended: reports anything cut short and prints a line
    // still waiting for its line feed.
    void finish();

    std::uint64_t offset() const { return offset_; }
    const FormatState& state() const { return state_; }

private:
    // What the bytes seen so far leave open.
    enum class Mode { Ground, Escape, GroupSeparator, Parameter, Trail };

    // The set a command was read in, as far as the stream has shown it.
    enum class Known { None, A, B, C, BOrC };

    struct Command {
        std::uint64_t offset = 0;
        std::uint8_t prefix = 0;
        std::uint8_t code = 0;
        std::uint8_t value = 0;
    };

    // Commands that follow a zero byte and may yet complete a format block.
    struct BlockCandidate {
        bool open = false;
        std::uint64_t offset = 0;
        std::vector<Command> commands;
    };

    void take(std::uint8_t byte);
    void take_ground(std::uint8_t byte);
    void take_command_code(std::uint8_t prefix, std::uint8_t code);
    void take_trail(std::uint8_t byte);

    void command_complete(const Command& command);
    bool block_prefix_matches(const std::vector<Command>& commands,
                              std::optional<CommandSet>* complete) const;
    void apply_alone(const Command& command);
    void apply_in(const Command& command, CommandSet set);

    void initialise();
    void add_char(char32_t c, std::uint64_t offset);
    void add_tab(std::uint64_t offset);
    void end_line(std::uint64_t offset);
    void begin_line_if_needed(std::uint64_t offset);
    void flush_unterminated_line();
    void unknown(std::uint64_t offset, std::vector<std::uint8_t> bytes, std::string reason);
    void warn(std::uint64_t offset, std::string message);
    void break_candidate();

    int checked_factor(const Command& command, const char* what);
    int checked_index(const Command& command, int index, const char* what);
    bool checked_flag(const Command& command, const char* what, int on_value);

    CodePage page_;
    std::optional<CommandSet> model_;
    EventSink sink_;

    std::uint64_t offset_ = 0;
    Mode mode_ = Mode::Ground;
    Command pending_;       // prefix and code of a command waiting for its value
    std::uint8_t lead_ = 0; // lead byte waiting for its trail
    std::uint64_t lead_offset_ = 0;

    Known known_ = Known::None;
    FormatState state_;
    BlockCandidate candidate_;

    bool line_open_ = false;
    Line line_;
    std::size_t line_length_ = 0; // characters in line_
};

} // namespace vprinter
