// How the tools in bench/ answer their command line: --help or -h prints the
// usage on standard output and succeeds; a wrong argument is named on
// standard error, followed by the usage, and fails with status 2. No tool
// starts its work on an argument it did not understand.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace bench {

inline bool IsHelp(std::string_view arg) {
    return arg == "--help" || arg == "-h";
}

[[noreturn]] inline void AnswerHelp(std::string_view usage) {
    (void)std::fwrite(usage.data(), 1, usage.size(), stdout);
    std::exit(std::fflush(stdout) == 0 && std::ferror(stdout) == 0 ? 0 : 1);
}

[[noreturn]] inline void RefuseArguments(std::string_view program, std::string_view why,
                                         std::string_view usage) {
    (void)std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(program.size()), program.data(),
                       static_cast<int>(why.size()), why.data());
    (void)std::fwrite(usage.data(), 1, usage.size(), stderr);
    std::exit(2);
}

// Removes every "prefixVALUE" argument from argv and answers the last VALUE,
// or nullptr when there is none.
inline const char* TakeOption(int& argc, char** argv, std::string_view prefix) {
    const char* value = nullptr;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.substr(0, prefix.size()) == prefix) {
            value = argv[i] + prefix.size();
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    return value;
}

// A positive whole number, as an option's value must be ("--rounds=3").
inline bool ParseCount(std::string_view text, long& out) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != text.npos) {
        return false;
    }
    out = std::stol(std::string(text));
    return out > 0;
}

} // namespace bench
