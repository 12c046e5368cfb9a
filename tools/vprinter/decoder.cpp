#include "tools/vprinter/decoder.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

namespace vprinter {

namespace {

constexpr std::uint8_t kEsc = 0x1B;
constexpr std::uint8_t kGs = 0x1D;
constexpr std::uint8_t kLf = 0x0A;
constexpr std::uint8_t kCr = 0x0D;
constexpr std::uint8_t kTab = 0x09;
constexpr int kTabStop = 8; // a printer's default tab positions

// Every three-byte command the three sets know, and which sets know it.
struct Shape {
    std::uint8_t prefix;
    std::uint8_t code;
    bool a, b, c;
};

constexpr Shape kShapes[] = {
    {kEsc, 'U', true, false, false}, {kEsc, 'V', true, true, false},
    {kEsc, '-', true, true, true},   {kEsc, 'c', true, false, false},
    {kEsc, 'i', true, false, false}, {kEsc, '{', false, false, true},
    {kGs, '!', false, true, true},   {kGs, 'B', false, true, true},
};

const Shape* find_shape(std::uint8_t prefix, std::uint8_t code) {
    for (const Shape& shape : kShapes) {
        if (shape.prefix == prefix && shape.code == code) {
            return &shape;
        }
    }
    return nullptr;
}

bool shape_in(const Shape& shape, CommandSet set) {
    switch (set) {
    case CommandSet::A:
        return shape.a;
    case CommandSet::B:
        return shape.b;
    case CommandSet::C:
        return shape.c;
    }
    return false;
}

// The five commands of each set's format block, in the order they are sent.
using Layout = std::array<std::pair<std::uint8_t, std::uint8_t>, 5>;
constexpr Layout kLayoutA = {{{kEsc, 'U'}, {kEsc, 'V'}, {kEsc, '-'}, {kEsc, 'c'}, {kEsc, 'i'}}};
constexpr Layout kLayoutB = {{{kGs, '!'}, {kGs, '!'}, {kEsc, '-'}, {kEsc, 'V'}, {kGs, 'B'}}};
constexpr Layout kLayoutC = {{{kGs, '!'}, {kGs, '!'}, {kEsc, '-'}, {kEsc, '{'}, {kGs, 'B'}}};

const Layout& layout_of(CommandSet set) {
    switch (set) {
    case CommandSet::A:
        return kLayoutA;
    case CommandSet::B:
        return kLayoutB;
    case CommandSet::C:
        return kLayoutC;
    }
    return kLayoutA;
}

std::string command_label(std::uint8_t prefix, std::uint8_t code) {
    std::string label = prefix == kEsc ? "ESC " : "GS ";
    label += static_cast<char>(code);
    return label;
}

} // namespace

Decoder::Decoder(CodePage page, std::optional<CommandSet> model, EventSink sink)
    : page_(std::move(page)), model_(model), sink_(std::move(sink)) {}

void Decoder::feed(std::span<const std::uint8_t> bytes) {
    for (std::uint8_t byte : bytes) {
        take(byte);
        ++offset_;
    }
}

void Decoder::take(std::uint8_t byte) {
    switch (mode_) {
    case Mode::Ground:
        take_ground(byte);
        break;
    case Mode::Escape:
        mode_ = Mode::Ground;
        take_command_code(kEsc, byte);
        break;
    case Mode::GroupSeparator:
        mode_ = Mode::Ground;
        take_command_code(kGs, byte);
        break;
    case Mode::Parameter:
        mode_ = Mode::Ground;
        pending_.value = byte;
        command_complete(pending_);
        break;
    case Mode::Trail:
        mode_ = Mode::Ground;
        take_trail(byte);
        break;
    }
}

void Decoder::take_ground(std::uint8_t byte) {
    if (byte == 0) {
        // Zero bytes separate the items of a job; one may open a format block.
        break_candidate();
        candidate_.open = true;
        candidate_.offset = offset_;
        return;
    }
    if (byte == kEsc || byte == kGs) {
        pending_ = Command{offset_, byte, 0, 0};
        mode_ = byte == kEsc ? Mode::Escape : Mode::GroupSeparator;
        return;
    }
    break_candidate();
    if (byte == kLf) {
        end_line(offset_);
    } else if (byte == kCr) {
        // The line feed alone advances the paper.
    } else if (byte == kTab) {
        add_tab(offset_);
    } else if (byte < 0x20 || byte == 0x7F) {
        unknown(offset_, {byte}, "control byte");
    } else if (byte < 0x80) {
        add_char(byte, offset_);
    } else if (page_.is_lead_byte(byte)) {
        lead_ = byte;
        lead_offset_ = offset_;
        mode_ = Mode::Trail;
    } else if (auto c = page_.single(byte)) {
        add_char(*c, offset_);
    } else {
        unknown(offset_, {byte}, "not defined in code page " + std::to_string(page_.number()));
    }
}

void Decoder::take_command_code(std::uint8_t prefix, std::uint8_t code) {
    if (prefix == kEsc && code == '@') {
        initialise();
        return;
    }
    if (find_shape(prefix, code) != nullptr) {
        pending_.code = code;
        mode_ = Mode::Parameter;
        return;
    }
    if (code == 0 || code == kEsc || code == kGs) {
        // The prefix stands alone; the byte after it begins something new.
        unknown(pending_.offset, {prefix}, "command prefix without a command");
        take_ground(code);
        return;
    }
    unknown(pending_.offset, {prefix, code}, "unknown command");
}

void Decoder::take_trail(std::uint8_t byte) {
    if (auto c = page_.pair(lead_, byte)) {
        add_char(*c, lead_offset_);
        return;
    }
    if (byte >= 0x40 && byte <= 0xFE && byte != 0x7F) {
        unknown(lead_offset_, {lead_, byte},
                "not assigned in code page " + std::to_string(page_.number()));
        return;
    }
    unknown(lead_offset_, {lead_}, "lead byte without a trail byte");
    take_ground(byte);
}

void Decoder::command_complete(const Command& command) {
    const Shape& shape = *find_shape(command.prefix, command.code);
    if (model_ && !shape_in(shape, *model_)) {
        unknown(command.offset, {command.prefix, command.code, command.value},
                command_label(command.prefix, command.code) + " is not a command of set " +
                    std::string(command_set_name(*model_)));
        return;
    }
    if (candidate_.open) {
        candidate_.commands.push_back(command);
        std::optional<CommandSet> complete;
        if (block_prefix_matches(candidate_.commands, &complete)) {
            if (complete) {
                std::array<std::uint8_t, 16> bytes{};
                std::size_t i = 1;
                for (const Command& c : candidate_.commands) {
                    apply_in(c, *complete);
                    bytes[i++] = c.prefix;
                    bytes[i++] = c.code;
                    bytes[i++] = c.value;
                }
                known_ = *complete == CommandSet::A   ? Known::A
                         : *complete == CommandSet::B ? Known::B
                                                      : Known::C;
                std::uint64_t offset = candidate_.offset;
                candidate_ = BlockCandidate{};
                sink_(FormatBlockSeen{offset, *complete, bytes, state_});
            }
            return;
        }
        candidate_.commands.pop_back();
        break_candidate();
    }
    apply_alone(command);
}

bool Decoder::block_prefix_matches(const std::vector<Command>& commands,
                                   std::optional<CommandSet>* complete) const {
    bool any = false;
    for (CommandSet set : {CommandSet::A, CommandSet::B, CommandSet::C}) {
        if (model_ && *model_ != set) {
            continue;
        }
        const Layout& layout = layout_of(set);
        bool matches = commands.size() <= layout.size();
        for (std::size_t i = 0; matches && i < commands.size(); ++i) {
            matches = layout[i].first == commands[i].prefix && layout[i].second == commands[i].code;
        }
        if (matches) {
            any = true;
            if (commands.size() == layout.size()) {
                *complete = set;
            }
        }
    }
    return any;
}

void Decoder::break_candidate() {
    if (!candidate_.open) {
        return;
    }
    std::vector<Command> commands = std::move(candidate_.commands);
    candidate_ = BlockCandidate{};
    for (const Command& command : commands) {
        apply_alone(command);
    }
}

void Decoder::apply_alone(const Command& command) {
    CommandSet set = CommandSet::A;
    std::optional<CommandSet> reported;
    if (model_) {
        set = *model_;
        reported = *model_;
    } else {
        // Read the command in the set the stream has shown so far; a command
        // that only one set has shows that set.
        switch (command.code) {
        case 'U':
        case 'c':
        case 'i':
            known_ = Known::A;
            break;
        case '{':
            known_ = Known::C;
            break;
        case '!':
        case 'B':
            if (known_ != Known::B && known_ != Known::C) {
                known_ = Known::BOrC;
            }
            break;
        case 'V':
            if (known_ == Known::None) {
                unknown(command.offset, {command.prefix, command.code, command.value},
                        "ESC V is height in set A and direction in set B, and no command "
                        "before it has shown the set");
                return;
            }
            if (known_ != Known::A) {
                known_ = Known::B;
            }
            break;
        default:
            break;
        }
        switch (known_) {
        case Known::A:
            set = CommandSet::A;
            reported = set;
            break;
        case Known::B:
            set = CommandSet::B;
            reported = set;
            break;
        case Known::C:
            set = CommandSet::C;
            reported = set;
            break;
        case Known::BOrC:
            set = CommandSet::B; // GS ! and GS B mean the same in B and C
            break;
        case Known::None:
            break; // only ESC -, which means the same in every set
        }
    }
    std::string name = [&] {
        switch (command.code) {
        case 'U':
            return "width";
        case 'V':
            return set == CommandSet::A ? "height" : "direction";
        case '-':
            return "underline";
        case 'c':
        case '{':
            return "direction";
        case 'i':
        case 'B':
            return "white";
        case '!':
            return "size";
        default:
            return "?";
        }
    }();
    apply_in(command, set);
    sink_(CommandApplied{
        command.offset, {command.prefix, command.code, command.value}, reported, name, state_});
}

void Decoder::apply_in(const Command& command, CommandSet set) {
    CharFormat& format = state_.format;
    switch (command.code) {
    case 'U':
        format.width = checked_factor(command, "width");
        break;
    case 'V':
        if (set == CommandSet::A) {
            format.height = checked_factor(command, "height");
        } else {
            state_.upside_down = checked_flag(command, "direction", 2);
        }
        break;
    case '-':
        format.underline = checked_flag(command, "underline", 1);
        break;
    case 'c':
    case '{':
        state_.upside_down = checked_flag(command, "direction", 1);
        break;
    case 'i':
    case 'B':
        format.white = checked_flag(command, "white", 1);
        break;
    case '!':
        format.width = checked_index(command, command.value >> 4, "width");
        format.height = checked_index(command, command.value & 0x0F, "height");
        break;
    default:
        break;
    }
}

int Decoder::checked_factor(const Command& command, const char* what) {
    int value = command.value;
    if (value >= 1 && value <= 4) {
        return value;
    }
    int factor = value < 1 ? 1 : 4;
    warn(command.offset, std::string(what) + " factor " + std::to_string(value) +
                             " is out of range 1..4; printed as x" + std::to_string(factor));
    return factor;
}

int Decoder::checked_index(const Command& command, int index, const char* what) {
    if (index <= 3) {
        return index + 1;
    }
    warn(command.offset, std::string(what) + " index " + std::to_string(index) +
                             " is out of range 0..3; printed as x4");
    return 4;
}

bool Decoder::checked_flag(const Command& command, const char* what, int on_value) {
    if (command.value == 0) {
        return false;
    }
    if (command.value != on_value) {
        warn(command.offset, std::string(what) + " value " + std::to_string(command.value) +
                                 " is neither 0 nor " + std::to_string(on_value) + "; taken as on");
    }
    return true;
}

void Decoder::initialise() {
    break_candidate();
    flush_unterminated_line();
    state_ = FormatState{};
    sink_(Initialised{pending_.offset});
}

void Decoder::begin_line_if_needed(std::uint64_t offset) {
    if (line_open_) {
        return;
    }
    line_ = Line{};
    line_length_ = 0;
    line_.format = state_.format;
    line_.upside_down = state_.upside_down;
    line_.offset = offset;
    line_open_ = true;
}

void Decoder::add_char(char32_t c, std::uint64_t offset) {
    if (line_open_ && line_length_ == kLongestLine) {
        const bool upside_down = line_.upside_down;
        flush_unterminated_line();
        warn(offset,
             "line longer than " + std::to_string(kLongestLine) + " characters: printed in pieces");
        // The rest of the line keeps the direction it began with.
        begin_line_if_needed(offset);
        line_.upside_down = upside_down;
    }
    begin_line_if_needed(offset);
    if (line_.runs.empty() || line_.runs.back().format != state_.format) {
        line_.runs.push_back(Run{{}, state_.format});
    }
    line_.runs.back().text.push_back(c);
    ++line_length_;
}

void Decoder::add_tab(std::uint64_t offset) {
    begin_line_if_needed(offset);
    std::size_t column = line_length_;
    do {
        add_char(U' ', offset);
        ++column;
    } while (column % kTabStop != 0);
}

void Decoder::end_line(std::uint64_t offset) {
    begin_line_if_needed(offset);
    line_.terminated = true;
    line_open_ = false;
    sink_(LinePrinted{std::move(line_)});
}

void Decoder::flush_unterminated_line() {
    if (!line_open_) {
        return;
    }
    line_.terminated = false;
    line_open_ = false;
    sink_(LinePrinted{std::move(line_)});
}

void Decoder::unknown(std::uint64_t offset, std::vector<std::uint8_t> bytes, std::string reason) {
    break_candidate();
    sink_(UnknownBytes{offset, std::move(bytes), std::move(reason)});
}

void Decoder::warn(std::uint64_t offset, std::string message) {
    sink_(ValueWarning{offset, std::move(message)});
}

void Decoder::finish() {
    std::vector<std::uint8_t> partial;
    std::uint64_t partial_offset = pending_.offset;
    const char* partial_what = "command";
    switch (mode_) {
    case Mode::Escape:
    case Mode::GroupSeparator:
        partial = {pending_.prefix};
        break;
    case Mode::Parameter:
        partial = {pending_.prefix, pending_.code};
        break;
    case Mode::Trail:
        partial = {lead_};
        partial_offset = lead_offset_;
        partial_what = "double-byte character";
        break;
    case Mode::Ground:
        break;
    }
    mode_ = Mode::Ground;

    if (candidate_.open && !candidate_.commands.empty()) {
        std::vector<std::uint8_t> bytes{0};
        for (const Command& c : candidate_.commands) {
            bytes.insert(bytes.end(), {c.prefix, c.code, c.value});
        }
        bytes.insert(bytes.end(), partial.begin(), partial.end());
        std::uint64_t offset = candidate_.offset;
        break_candidate();
        sink_(StreamCut{offset, std::move(bytes), "format block"});
    } else {
        candidate_ = BlockCandidate{};
        if (!partial.empty()) {
            sink_(StreamCut{partial_offset, std::move(partial), partial_what});
        }
    }
    flush_unterminated_line();
}

} // namespace vprinter
