#pragma once

#include "tools/vprinter/command_set.h"

#include <optional>
#include <string>
#include <vector>

namespace vprinter {

enum class ColorChoice { Auto, Always, Never };

struct Options {
    int port = 3;
    std::string devices; // empty: the default device table
    std::optional<CommandSet> model;
    int codepage = 1252;
    std::string capture;
    std::string raw;
    std::string events; // "-" for standard output
    std::string png;
    ColorChoice color = ColorChoice::Auto;
    bool quiet = false;
    bool once = false;
    int idle_exit_ms = 0; // 0: never
    int job_gap_ms = 500;
    std::string decode; // a file to read instead of a port; "-" for standard input
    std::string tcp;    // [ADDRESS:]PORT to listen on instead of a pseudo-terminal
    unsigned baud = 0;  // read at this line's pace (8E1); 0: as fast as bytes come
    bool help = false;
    bool version = false;
};

// Empty with `error` set for a bad command line.
std::optional<Options> parse_options(const std::vector<std::string>& args, std::string* error);

const char* usage_text();

} // namespace vprinter
