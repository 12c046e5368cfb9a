#include "tools/vprinter/options.h"

#include "tools/vprinter/tcp_listener.h"

#include <charconv>

namespace vprinter {

namespace {

bool parse_int(const std::string& text, int low, int high, int* out) {
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || value < low || value > high) {
        return false;
    }
    *out = value;
    return true;
}

} // namespace

const char* usage_text() {
    return "Usage: tallyroll-vprinter [options]\n"
           "A virtual serial printer: links a pseudo-terminal into the device table as\n"
           "COMn, decodes what a program prints to it and shows the roll.\n"
           "\n"
           "  --port N            link as COMN (default 3)\n"
           "  --tcp [ADDR:]PORT   be a network printer: listen on TCP (127.0.0.1 unless\n"
           "                      ADDR is given, [::1] for IPv6; port 0: any free one)\n"
           "                      and link COMN to tcp:ADDR:PORT\n"
           "  --baud N            read no faster than a serial line of N baud carries\n"
           "                      8E1 bytes (N/11 a second; 115200: a real printer's\n"
           "                      pace); default: as fast as they come\n"
           "  --devices DIR       device table (default $TALLYROLL_DEVICES,\n"
           "                      else ~/.tallyroll/devices)\n"
           "  --model NAME        Qelvo or Rinth (set A), Sovak (set B), Wexol (set C),\n"
           "                      a list index 0..3, or A, B, C; default: recognise the\n"
           "                      set from the commands\n"
           "  --codepage N        1252 (default) or 936\n"
           "  --capture FILE      record every byte with its arrival time\n"
           "  --raw FILE          record the plain bytes\n"
           "  --events FILE       decoded events as JSON lines (- for standard output)\n"
           "  --png FILE          picture of the roll, rewritten after every job; a long\n"
           "                      roll goes on in numbered pictures (roll.png,\n"
           "                      roll-2.png, ...)\n"
           "  --color WHEN        auto, always or never (terminal styles on the roll)\n"
           "  --quiet             do not show the roll on standard output\n"
           "  --once              stop when the first job has ended\n"
           "  --idle-exit MS      stop when bytes have come and none for MS ms\n"
           "  --job-gap MS        silence that ends a job (default 500)\n"
           "  --decode FILE       decode a raw or capture file instead of opening a port\n"
           "                      (- for standard input)\n"
           "  --help, --version\n";
}

std::optional<Options> parse_options(const std::vector<std::string>& args, std::string* error) {
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string* out) {
            if (i + 1 >= args.size()) {
                *error = arg + " needs a value";
                return false;
            }
            *out = args[++i];
            return true;
        };
        std::string text;
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--quiet" || arg == "-q") {
            options.quiet = true;
        } else if (arg == "--once") {
            options.once = true;
        } else if (arg == "--port") {
            if (!value(&text) || !parse_int(text, 0, 255, &options.port)) {
                *error = "--port takes a number from 0 to 255";
                return std::nullopt;
            }
        } else if (arg == "--baud") {
            int baud = 0;
            if (!value(&text) || !parse_int(text, 50, 4000000, &baud)) {
                *error = "--baud takes a line speed from 50 to 4000000";
                return std::nullopt;
            }
            options.baud = static_cast<unsigned>(baud);
        } else if (arg == "--devices") {
            if (!value(&options.devices)) {
                return std::nullopt;
            }
        } else if (arg == "--model") {
            if (!value(&text)) {
                return std::nullopt;
            }
            if (text != "auto") {
                options.model = parse_model(text);
                if (!options.model) {
                    *error =
                        "unknown model '" + text + "' (Qelvo, Rinth, Sovak, Wexol, 0..3, A, B, C)";
                    return std::nullopt;
                }
            }
        } else if (arg == "--codepage") {
            if (!value(&text) || (text != "1252" && text != "936")) {
                *error = "--codepage takes 1252 or 936";
                return std::nullopt;
            }
            options.codepage = text == "936" ? 936 : 1252;
        } else if (arg == "--capture") {
            if (!value(&options.capture)) {
                return std::nullopt;
            }
        } else if (arg == "--raw") {
            if (!value(&options.raw)) {
                return std::nullopt;
            }
        } else if (arg == "--events") {
            if (!value(&options.events)) {
                return std::nullopt;
            }
        } else if (arg == "--png") {
            if (!value(&options.png)) {
                return std::nullopt;
            }
        } else if (arg == "--color") {
            if (!value(&text)) {
                return std::nullopt;
            }
            if (text == "auto") {
                options.color = ColorChoice::Auto;
            } else if (text == "always") {
                options.color = ColorChoice::Always;
            } else if (text == "never") {
                options.color = ColorChoice::Never;
            } else {
                *error = "--color takes auto, always or never";
                return std::nullopt;
            }
        } else if (arg == "--idle-exit") {
            if (!value(&text) || !parse_int(text, 1, 86400000, &options.idle_exit_ms)) {
                *error = "--idle-exit takes a number of milliseconds";
                return std::nullopt;
            }
        } else if (arg == "--job-gap") {
            if (!value(&text) || !parse_int(text, 1, 86400000, &options.job_gap_ms)) {
                *error = "--job-gap takes a number of milliseconds";
                return std::nullopt;
            }
        } else if (arg == "--tcp") {
            if (!value(&options.tcp) || !parse_tcp_address(options.tcp)) {
                *error = "--tcp takes [ADDRESS:]PORT, for example 9100 or 127.0.0.1:9100";
                return std::nullopt;
            }
        } else if (arg == "--decode") {
            if (!value(&options.decode)) {
                return std::nullopt;
            }
        } else {
            *error = "unknown option '" + arg + "'";
            return std::nullopt;
        }
    }
    if (options.baud != 0 && !options.tcp.empty()) {
        *error = "--baud paces a serial line; a network printer (--tcp) has none";
        return std::nullopt;
    }
    return options;
}

} // namespace vprinter
