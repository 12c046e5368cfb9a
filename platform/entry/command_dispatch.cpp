#include "platform/entry/command_dispatch.h"

#include "platform/entry/command_main.h"
#include "platform/entry/console_services.h"
#include "platform/entry/device_table_commands.h"
#include "platform/kernel32/device_table.h"
#include "platform/text/path_text.h"

#include <string>
#include <string_view>
#include <vector>

namespace entry {

std::optional<int> RunCommand(int argc, const char* const* argv) {
    if (argc < 2 || argv[1] == nullptr) {
        return std::nullopt;
    }
    const std::string_view name = argv[1];
    if (name == "ports" || name == "link" || name == "unlink") {
        return RunDeviceTableCommand(std::vector<std::string>(argv + 1, argv + argc),
                                     kernel32::DeviceFolder());
    }
    if (name != "print" && name != "test") {
        return std::nullopt;
    }
    // Arguments may name files, and a file name is bytes: each one crosses
    // as a path does, so that it names the same file after.
    std::vector<std::u16string> args;
    for (int i = 1; i < argc && argv[i] != nullptr; ++i) {
        args.push_back(text::PathFromBytes(argv[i]));
    }
    ConsoleServices services;
    const int status = TallyrollCommand(args, services);
    if (const int signal = ConsoleServices::stopSignal(); signal != 0) {
        return 128 + signal;
    }
    return status;
}

} // namespace entry
