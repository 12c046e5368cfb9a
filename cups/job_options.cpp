#include "cups/job_options.h"

#include "cli/command_options.h"
#include "platform/text/unicode.h"

#include <cups/cups.h>
#include <fstream>
#include <map>
#include <strings.h>

namespace cups_backend {
namespace {

// The PPD's "*DefaultName: Value" lines, which lpadmin -o rewrites.
std::map<std::string, std::string> PpdDefaults(const char* ppdPath) {
    std::map<std::string, std::string> defaults;
    if (ppdPath == nullptr) {
        return defaults;
    }
    std::ifstream ppd(ppdPath);
    const std::string start = "*Default";
    for (std::string line; std::getline(ppd, line);) {
        const auto colon = line.find(':');
        if (line.compare(0, start.size(), start) != 0 || colon == std::string::npos) {
            continue;
        }
        std::string value = line.substr(colon + 1);
        value.erase(0, value.find_first_not_of(" \t"));
        value.erase(value.find_last_not_of(" \t\r") + 1);
        defaults[line.substr(start.size(), colon - start.size())] = value;
    }
    return defaults;
}

std::optional<bool> BooleanOf(const std::string& value) {
    for (const char* yes : {"true", "yes", "on", "1"}) {
        if (::strcasecmp(value.c_str(), yes) == 0) {
            return true;
        }
    }
    for (const char* no : {"false", "no", "off", "0"}) {
        if (::strcasecmp(value.c_str(), no) == 0) {
            return false;
        }
    }
    return std::nullopt;
}

} // namespace

void ReadJobOptions(const char* options, const char* ppdPath, SpoolerJob& job, std::string& why) {
    cups_option_t* parsed = nullptr;
    const int count = cupsParseOptions(options != nullptr ? options : "", 0, &parsed);
    const std::map<std::string, std::string> defaults = PpdDefaults(ppdPath);
    // The job's value, else the queue's default; empty when neither says.
    auto valueOf = [&](const char* name) -> std::string {
        if (const char* value = cupsGetOption(name, count, parsed)) {
            return value;
        }
        const auto found = defaults.find(name);
        return found != defaults.end() ? found->second : std::string();
    };
    auto refuse = [&](const char* name, const std::string& value) {
        why += std::string("unknown value ") + name + "=" + value + ", the default is used\n";
    };
    auto choose = [&](const char* name, auto parse, int& choice) {
        const std::string value = valueOf(name);
        if (value.empty()) {
            return;
        }
        if (const auto index = parse(text::Utf8ToUtf16(value))) {
            choice = *index;
        } else {
            refuse(name, value);
        }
    };
    choose("Model", ParseModel, job.nModel);
    choose("Width", ParseFactor, job.nWidth);
    choose("Height", ParseFactor, job.nHeight);
    for (auto [name, flag] : {std::pair<const char*, bool*>{"Underline", &job.bUnderline},
                              {"Direction", &job.bDirection},
                              {"White", &job.bWhite}}) {
        const std::string value = valueOf(name);
        if (value.empty()) {
            continue;
        }
        if (const auto on = BooleanOf(value)) {
            *flag = *on;
        } else {
            refuse(name, value);
        }
    }
    cupsFreeOptions(count, parsed);
}

} // namespace cups_backend
