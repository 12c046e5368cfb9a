// The command line of a benchmark built on Google Benchmark: the tool's own
// options (taken out of argv before this is called) followed by the
// library's. --help or -h prints both on standard output and succeeds; an
// argument that neither knows is named, with the tool's usage, on standard
// error, and fails with status 2 (bench/usage.h).
#pragma once

#include "bench/usage.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>
#include <string_view>

namespace bench {

namespace detail {
inline std::string g_usage;
inline void PrintUsageThenTheLibrarys() {
    (void)std::fputs(g_usage.c_str(), stdout);
    (void)std::fputs("Options of Google Benchmark:\n", stdout);
    benchmark::PrintDefaultHelp();
}
} // namespace detail

// usage: the tool's usage line and its own options, one a line.
inline void InitializeBenchmarks(int& argc, char** argv, std::string_view program,
                                 std::string_view usage) {
    detail::g_usage = std::string(usage);
    for (int i = 1; i < argc; ++i) {
        if (IsHelp(argv[i])) {
            detail::PrintUsageThenTheLibrarys();
            std::exit(std::fflush(stdout) == 0 ? 0 : 1);
        }
    }
    benchmark::Initialize(&argc, argv, &detail::PrintUsageThenTheLibrarys);
    if (argc > 1) {
        RefuseArguments(program, "unexpected argument '" + std::string(argv[1]) + "'", usage);
    }
}

} // namespace bench
