#include "engine/command_set.h"

std::optional<CommandSet> CommandSetForModel(int nModel) {
    switch (nModel) {
    case 0: // "Qelvo"
    case 1: // "Rinth"
        return CommandSet::A;
    case 2: // "Sovak"
        return CommandSet::B;
    case 3: // "Wexol"
        return CommandSet::C;
    default:
        return std::nullopt;
    }
}
