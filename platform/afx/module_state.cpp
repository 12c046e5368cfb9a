#include "platform/afx/module_state.h"

#include "platform/win32/kernel.h"
#include "platform/win32/resources.h"

#include <algorithm>
#include <string_view>

AFX_MODULE_STATE* AfxGetModuleState() {
    static AFX_MODULE_STATE state = {FALSE, kAfxFrameworkVersion, nullptr, nullptr, nullptr, {}};
    return &state;
}

void AfxSetModuleFileName(LPCWSTR lpszPath) {
    std::basic_string_view<WCHAR> name = lpszPath != nullptr ? lpszPath : TEXT("");
    if (const auto slash = name.find_last_of(TEXT("/\\"));
        slash != std::basic_string_view<WCHAR>::npos) {
        name.remove_prefix(slash + 1);
    }
    // A Win32 program file ends in ".exe"; its title does not.
    if (name.size() > 4) {
        std::basic_string_view<WCHAR> extension = name.substr(name.size() - 4);
        if (extension == TEXT(".exe") || extension == TEXT(".EXE")) {
            name.remove_suffix(4);
        }
    }
    WCHAR* out = AfxGetModuleState()->m_szModuleName;
    const std::size_t n = std::min(name.size(), std::size_t{259});
    std::copy_n(name.begin(), n, out);
    out[n] = 0;
}

HINSTANCE AfxGetInstanceHandle() {
    AFX_MODULE_STATE* state = AfxGetModuleState();
    return state->m_hCurrentInstanceHandle != nullptr ? state->m_hCurrentInstanceHandle
                                                      : GetModuleHandleW(nullptr);
}

HINSTANCE AfxGetResourceHandle() {
    AFX_MODULE_STATE* state = AfxGetModuleState();
    return state->m_hCurrentResourceHandle != nullptr ? state->m_hCurrentResourceHandle
                                                      : AfxGetInstanceHandle();
}

void AfxSetResourceHandle(HINSTANCE hInstResource) {
    AfxGetModuleState()->m_hCurrentResourceHandle = hInstResource;
}

HINSTANCE AfxFindResourceHandle(LPCWSTR lpszName, LPCWSTR lpszType) {
    const HINSTANCE candidates[] = {AfxGetResourceHandle(), AfxGetInstanceHandle()};
    for (HINSTANCE module : candidates) {
        if (module != nullptr && FindResourceW(module, lpszName, lpszType) != nullptr) {
            return module;
        }
    }
    return AfxGetResourceHandle();
}
