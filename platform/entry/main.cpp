// The process entry: what a Win32 program's C run-time start-up does before
// it calls wWinMain. It makes the program's resources those of its module,
// records the program's name, and hands the four start values over.
#include "platform/afx/module_state.h"
#include "platform/entry/command_dispatch.h"
#include "platform/entry/command_line.h"
#include "platform/entry/program_resources.h"
#include "platform/entry/resource_table.h"
#include "platform/entry/start_up.h"
#include "platform/entry/win_main.h"
#include "platform/screen/front_end.h"
#include "platform/win32/kernel.h"

#include <cstdio>
#include <string>

namespace {
constexpr int kShowNormal = 1; // SW_SHOWNORMAL: the window as the template has it
} // namespace

int main(int argc, char** argv) {
    // A command (print, test, ports...) runs without the screen.
    if (const auto status = entry::RunCommand(argc, argv)) {
        return *status;
    }
    if (const auto status = entry::AnswerArguments(argc, argv)) {
        return *status;
    }
    // A program that cannot be shown says why and fails, before it starts.
    if (const char* why = screen::ActiveFrontEnd().unusableReason()) {
        (void)std::fprintf(stderr, "tallyroll: %s\n", why);
        return 1;
    }
    HMODULE module = GetModuleHandleW(nullptr);
    std::size_t count = 0;
    const RESOURCE_ITEM* resources = ProgramResources(&count);
    RegisterModuleResources(module, resources, count);

    AfxSetModuleFileName(entry::ProgramName(argc, argv, u"tallyroll").c_str());

    std::u16string commandLine = entry::CommandLine(argc, argv);
    return wWinMain(module, nullptr, commandLine.data(), kShowNormal);
}
