#include "cups/device_uri.h"

namespace cups_backend {
namespace {

constexpr std::string_view kScheme = "tallyroll:";

bool StartsWith(std::string_view text, std::string_view start) {
    return text.substr(0, start.size()) == start;
}

} // namespace

std::optional<std::string> LinkTargetOf(std::string_view uri) {
    if (!StartsWith(uri, kScheme)) {
        return std::nullopt;
    }
    std::string_view rest = uri.substr(kScheme.size());
    // "tallyroll:///dev/ttyUSB0" is the same path with an empty host.
    if (StartsWith(rest, "///")) {
        rest.remove_prefix(2);
    }
    if (StartsWith(rest, "/") && !StartsWith(rest, "//")) {
        if (rest.size() < 2) {
            return std::nullopt;
        }
        return std::string(rest);
    }
    for (const std::string_view kind : {std::string_view("tcp"), std::string_view("bt")}) {
        const std::string host = "//" + std::string(kind) + "/";
        if (StartsWith(rest, host) && rest.size() > host.size()) {
            return std::string(kind) + ":" + std::string(rest.substr(host.size()));
        }
    }
    return std::nullopt;
}

} // namespace cups_backend
