#pragma once

#include <optional>
#include <string_view>

namespace vprinter {

// The three command families the printer models speak. A and the GS family
// (B, C) share ESC - but disagree on ESC V: width/height factor in A,
// direction in B.
enum class CommandSet { A, B, C };

std::string_view command_set_name(CommandSet set);

struct PrinterModel {
    std::string_view name;
    CommandSet set;
};

// The models in the order of Tallyroll's Printer list, so that an index
// given on the command line means the same model as the list index.
inline constexpr PrinterModel kPrinterModels[] = {
    {"Qelvo", CommandSet::A},
    {"Rinth", CommandSet::A},
    {"Sovak", CommandSet::B},
    {"Wexol", CommandSet::C},
};

// A model name (case-insensitive), a list index 0..3, or a set letter A/B/C.
std::optional<CommandSet> parse_model(std::string_view text);

} // namespace vprinter
