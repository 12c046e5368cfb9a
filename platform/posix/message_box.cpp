// MessageBoxW hands the box to the installed presenter: the window system
// shows it as a modal window, tests record it. Without one, the box goes to
// standard error so that no message is ever lost.
#include "platform/posix/message_box_hook.h"
#include "platform/text/unicode.h"
#include "platform/win32/user.h"

#include <atomic>
#include <cstdio>
#include <string>

namespace {

int PresentOnStandardError(HWND, LPCWSTR lpText, LPCWSTR lpCaption, UINT) {
    const std::string caption = text::Utf16ToUtf8(lpCaption ? lpCaption : u"");
    const std::string body = text::Utf16ToUtf8(lpText ? lpText : u"");
    // Standard error is the last place a message can go: nothing to report a failure to.
    (void)std::fprintf(stderr, "%s: %s\n", caption.c_str(), body.c_str());
    (void)std::fflush(stderr);
    return IDOK;
}

std::atomic<MessageBoxPresenter> g_presenter{&PresentOnStandardError};

} // namespace

MessageBoxPresenter SetMessageBoxPresenter(MessageBoxPresenter presenter) {
    return g_presenter.exchange(presenter ? presenter : &PresentOnStandardError);
}

int MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType) {
    return g_presenter.load()(hWnd, lpText, lpCaption, uType);
}
