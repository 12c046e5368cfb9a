#include "tools/vprinter/command_set.h"

#include <algorithm>
#include <cctype>

namespace vprinter {

std::string_view command_set_name(CommandSet set) {
    switch (set) {
    case CommandSet::A:
        return "A";
    case CommandSet::B:
        return "B";
    case CommandSet::C:
        return "C";
    }
    return "?";
}

static bool equal_ignoring_case(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::optional<CommandSet> parse_model(std::string_view text) {
    for (std::size_t i = 0; i < std::size(kPrinterModels); ++i) {
        if (equal_ignoring_case(text, kPrinterModels[i].name) ||
            text == std::string_view("0123").substr(i, 1)) {
            return kPrinterModels[i].set;
        }
    }
    for (CommandSet set : {CommandSet::A, CommandSet::B, CommandSet::C}) {
        if (equal_ignoring_case(text, command_set_name(set))) {
            return set;
        }
    }
    return std::nullopt;
}

} // namespace vprinter
