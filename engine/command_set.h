// The printer command families and which printer model speaks which.
#pragma once

#include <optional>

enum class CommandSet { A, B, C };

// Printer list index → command set: 0 and 1 give A, 2 gives B, 3 gives C;
// any other index (−1 when nothing is selected) gives none, and then no
// format block is sent.
std::optional<CommandSet> CommandSetForModel(int nModel);
