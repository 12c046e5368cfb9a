// A program built on the process entry, the way the real one is: an
// application object constructed at static initialisation, resources for its
// module, and a wWinMain that hands the start values to the framework. It
// writes what it was given to standard output.
#include "platform/afx/framework.h"
#include "platform/entry/command_dispatch.h"
#include "platform/entry/command_line.h"
#include "platform/entry/program_resources.h"
#include "platform/entry/resource_table.h"
#include "platform/entry/win_main.h"
#include "platform/text/unicode.h"
#include "platform/win32/kernel.h"

#include <cstdint>
#include <cstdio>

namespace {

const BYTE kMarker[] = {'o', 'k'};
const RESOURCE_ITEM kResources[] = {
    {ResourceTypeNumber(RT_VERSION), 1, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), kMarker, 2}};

class CProbeApp : public CWinApp {
public:
    BOOL InitInstance() override {
        std::printf("init: app=%s main-state-version=%x\n",
                    text::Utf16ToUtf8(AfxGetAppName()).c_str(),
                    static_cast<unsigned>(AfxGetModuleState()->m_dwVersion));
        return FALSE;
    }
    int ExitInstance() override { return 3; }
};

CProbeApp theApp;

} // namespace

// The probe takes any arguments, to show how they reach the program.
std::optional<int> entry::AnswerArguments(int, const char* const*) {
    return std::nullopt;
}

// Nor does it run commands: every argument goes to its WinMain.
std::optional<int> entry::RunCommand(int, const char* const*) {
    return std::nullopt;
}

const RESOURCE_ITEM* ProgramResources(std::size_t* count) {
    *count = std::size(kResources);
    return kResources;
}

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nShowCmd) {
    HRSRC found = FindResourceW(hInstance, MAKEINTRESOURCEW(1), RT_VERSION);
    std::printf("instance=%s previous=%s show=%d resources=%s\n",
                hInstance == GetModuleHandleW(nullptr) ? "module" : "other",
                hPrevInstance == nullptr ? "none" : "some", nShowCmd,
                found != nullptr ? "registered" : "missing");
    std::printf("command line=[%s]\n", text::Utf16ToUtf8(lpCmdLine).c_str());
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nShowCmd);
}
