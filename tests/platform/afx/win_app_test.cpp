// The application object and the framework's main routine: module state as an
// application of version 0x0600, the start values handed to the application,
// and the end of the program when per-instance initialisation answers false.
#include "platform/afx/framework.h"
#include "platform/entry/resource_table.h"
#include "platform/win32/kernel.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>

namespace afx_test {
namespace {

class CShortApp : public CWinApp {
public:
    int initCalls = 0;
    int runCalls = 0;
    BOOL InitInstance() override {
        ++initCalls;
        return FALSE;
    }
    int Run() override {
        ++runCalls;
        return CWinApp::Run();
    }
    int ExitInstance() override { return 7; }
};

TEST(WinApp, RegistersItselfAsTheOneApplicationForItsLifetime) {
    EXPECT_EQ(AfxGetApp(), nullptr);
    {
        CWinApp app;
        EXPECT_EQ(AfxGetApp(), &app);
        EXPECT_EQ(AfxGetModuleState()->m_pCurrentWinApp, &app);
    }
    EXPECT_EQ(AfxGetApp(), nullptr);
}

TEST(WinApp, ModuleStateIsAnApplicationOfVersion0x0600) {
    const AFX_MODULE_STATE* state = AfxGetModuleState();
    EXPECT_FALSE(state->m_bDLL);
    EXPECT_EQ(state->m_dwVersion, 0x0600u);
}

TEST(WinApp, MainRoutineEndsTheProgramWhenInitInstanceAnswersFalse) {
    CShortApp app;
    auto* const instance = reinterpret_cast<HINSTANCE>(std::uintptr_t{0x00400000});
    WCHAR commandLine[] = u"";
    EXPECT_EQ(AfxWinMain(instance, nullptr, commandLine, 1), 7);
    EXPECT_EQ(app.initCalls, 1);
    EXPECT_EQ(app.runCalls, 0); // no message loop
    EXPECT_EQ(app.m_hInstance, instance);
    EXPECT_EQ(app.m_lpCmdLine, commandLine);
    EXPECT_EQ(app.m_nCmdShow, 1);
    EXPECT_EQ(AfxGetInstanceHandle(), instance);
    EXPECT_EQ(AfxGetResourceHandle(), instance);
    AfxGetModuleState()->m_hCurrentInstanceHandle = nullptr;
    AfxSetResourceHandle(nullptr);
}

TEST(WinApp, MainRoutineTitlesTheApplicationAfterTheProgramFile) {
    AfxSetModuleFileName(TEXT("someone-else"));
    {
        CShortApp app;
        AfxWinMain(GetModuleHandleW(nullptr), nullptr, nullptr, 1);
        EXPECT_EQ(std::basic_string<WCHAR>(AfxGetAppName()), TEXT("afx_tests"));
    }
    AfxGetModuleState()->m_hCurrentInstanceHandle = nullptr;
    AfxSetResourceHandle(nullptr);
}

TEST(WinApp, MainRoutineWithoutAnApplicationFails) {
    EXPECT_EQ(AfxWinMain(GetModuleHandleW(nullptr), nullptr, nullptr, 1), -1);
}

TEST(WinApp, FindsTheModuleThatHoldsAResource) {
    static const BYTE bytes[] = {1, 2, 3, 4};
    static const RESOURCE_ITEM withIcon[] = {{ResourceTypeNumber(RT_GROUP_ICON), 128,
                                              MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED),
                                              bytes, 4}};
    auto* const program = reinterpret_cast<HMODULE>(std::uintptr_t{0x00500000});
    auto* const language = reinterpret_cast<HMODULE>(std::uintptr_t{0x00600000});
    RegisterModuleResources(program, withIcon, 1);
    RegisterModuleResources(language, nullptr, 0);

    AfxGetModuleState()->m_hCurrentInstanceHandle = program;
    AfxSetResourceHandle(language); // a resource module without the icon
    EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCEW(128), RT_GROUP_ICON), program);
    // Nobody holds it: the resource module is the answer.
    EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCEW(129), RT_GROUP_ICON), language);
    AfxGetModuleState()->m_hCurrentInstanceHandle = nullptr;
    AfxSetResourceHandle(nullptr);
}

} // namespace
} // namespace afx_test
