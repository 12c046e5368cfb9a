// Small tools for driving another process's windows the way a user's input
// reaches them: messages with time-outs, text through WM_GETTEXT (the one way
// to read another process's edit control), waits that give up.
#pragma once

#ifndef UNICODE
#define UNICODE
#endif
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>
#include <windows.h>

namespace wine_tests {

// Every wait in the driver is bounded; a program that stopped answering shows
// as a failed step, never as a driver that hangs.
inline constexpr DWORD kAnswerMs = 10000;

inline std::string Utf8(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(std::size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

inline std::wstring Wide(const std::u16string& text) {
    return {text.begin(), text.end()};
}

// Asks the window's own thread; false when it did not answer in time.
inline bool Send(HWND window, UINT message, WPARAM w, LPARAM l, LRESULT* result = nullptr,
                 DWORD ms = kAnswerMs) {
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutW(window, message, w, l, SMTO_NORMAL | SMTO_ABORTIFHUNG, ms, &answer) ==
        0) {
        return false;
    }
    if (result != nullptr) {
        *result = LRESULT(answer);
    }
    return true;
}

inline LRESULT Ask(HWND window, UINT message, WPARAM w = 0, LPARAM l = 0) {
    LRESULT answer = -1;
    Send(window, message, w, l, &answer);
    return answer;
}

inline std::wstring TextOf(HWND window) {
    const LRESULT length = Ask(window, WM_GETTEXTLENGTH);
    if (length <= 0) {
        return {};
    }
    std::wstring text(std::size_t(length) + 1, L'\0');
    LRESULT got = 0;
    Send(window, WM_GETTEXT, WPARAM(text.size()), LPARAM(text.data()), &got);
    text.resize(got > 0 ? std::size_t(got) : 0);
    return text;
}

inline std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

inline std::vector<std::wstring> ComboEntries(HWND combo) {
    std::vector<std::wstring> entries;
    const LRESULT count = Ask(combo, CB_GETCOUNT);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = Ask(combo, CB_GETLBTEXTLEN, WPARAM(i));
        std::wstring entry(std::size_t(length > 0 ? length : 0) + 1, L'\0');
        LRESULT got = 0;
        Send(combo, CB_GETLBTEXT, WPARAM(i), LPARAM(entry.data()), &got);
        entry.resize(got > 0 ? std::size_t(got) : 0);
        entries.push_back(entry);
    }
    return entries;
}

inline std::vector<HWND> ChildrenInOrder(HWND parent) {
    std::vector<HWND> children;
    for (HWND c = GetWindow(parent, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        children.push_back(c);
    }
    return children;
}

// Polls until ready() or the time is up.
template <class Ready> bool WaitFor(Ready ready, DWORD ms = kAnswerMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        if (ready()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

struct OtherDialogSearch {
    HWND not1, not2, found;
};

// A named callback rather than a lambda: a lambda converts only to a
// function pointer of the default calling convention, and the 32-bit
// system calls its enumeration callbacks as __stdcall.
inline BOOL CALLBACK TakeOtherDialog(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<OtherDialogSearch*>(p);
    if (w != s->not1 && w != s->not2 && IsWindowVisible(w) && ClassOf(w) == L"#32770") {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

// A top-level dialog of the thread other than the ones named, visible.
inline HWND OtherDialogOf(DWORD thread, HWND not1, HWND not2 = nullptr) {
    OtherDialogSearch search{not1, not2, nullptr};
    EnumThreadWindows(thread, TakeOtherDialog, LPARAM(&search));
    return search.found;
}

// The focus window of another thread (GetFocus answers for one's own only).
inline HWND FocusOf(DWORD thread) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

} // namespace wine_tests
