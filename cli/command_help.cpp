#include "cli/command_help.h"

namespace {

constexpr std::string_view kPrintUsage = "Usage: tallyroll print [OPTIONS] [FILE...]\n"
                                         "Try 'tallyroll print --help' for more.\n";

constexpr std::string_view kTestUsage = "Usage: tallyroll test [--com N] [--output FILE]\n"
                                        "Try 'tallyroll test --help' for more.\n";

constexpr std::string_view kPrintHelp =
    "Usage: tallyroll print [OPTIONS] [FILE...]\n"
    "Prints each FILE as one job, in order, the way the form prints its text box;\n"
    "with no FILE, or where FILE is -, prints standard input. A file is read as\n"
    "\"...\" reads it: UTF-8 or UTF-16 where it is, else the ANSI code page.\n"
    "\n"
    "  -c, --com N          the COM port, 1 to 9 (3 or COM3); default 3\n"
    "  -p, --printer MODEL  Qelvo, Rinth, Sovak or Wexol (any case); default Qelvo\n"
    "  -w, --width N        character width 1 to 4 (2 or x2); default 1\n"
    "  -H, --height N       character height 1 to 4; default 1\n"
    "  -u, --underline      underlined characters\n"
    "  -d, --direction      the Direction option\n"
    "  -W, --white          white on black\n"
    "  -o, --output FILE    write the bytes to FILE (- for standard output)\n"
    "                       instead of the port\n"
    "  -q, --quiet          no progress line\n"
    "  -h, --help           this help\n"
    "\n"
    "Exit status: 0 every job printed, 1 a job failed (the jobs after it are\n"
    "not sent), 2 the command was not understood, 128+N ended by signal N\n"
    "(130 after Ctrl+C, which cancels the write as Esc does in the form).\n"
    "\n"
    "Examples:\n"
    "  date | tallyroll print -c 4\n"
    "  tallyroll print -p sovak -w 2 -u receipt.txt\n"
    "  tallyroll print -o - notes.txt | tallyroll-vprinter --decode -\n";

constexpr std::string_view kTestHelp =
    "Usage: tallyroll test [--com N] [--output FILE]\n"
    "Sends the test page, as the form's Test button does.\n"
    "\n"
    "  -c, --com N          the COM port, 1 to 9 (3 or COM3); default 3\n"
    "  -o, --output FILE    write the bytes to FILE (- for standard output)\n"
    "  -q, --quiet          no progress line\n"
    "  -h, --help           this help\n";

} // namespace

std::string_view CommandHelp(CommandKind kind) {
    return kind == CommandKind::Test ? kTestHelp : kPrintHelp;
}

std::string_view CommandUsage(CommandKind kind) {
    return kind == CommandKind::Test ? kTestUsage : kPrintUsage;
}
