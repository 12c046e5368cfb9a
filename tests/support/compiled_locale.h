// A locale compiled for a test into a folder of its own (reached through
// LOCPATH), so that a test does not depend on which locales the machine has
// installed.
#pragma once

#include <string>

namespace testing_support {

// Compiles locale `name` from glibc's source `input` and `charmap` into
// folder; answers whether it is there.
bool CompileLocale(const std::string& folder, const std::string& name, const std::string& input,
                   const std::string& charmap);

} // namespace testing_support
