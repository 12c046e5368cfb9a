// MessageBoxW hands the box to the installed presenter: the window system
// shows it as a modal window, a host without a screen says it its own way,
// tests record it. Without one, the box goes to standard error so that no
// message is ever lost. Kept apart from the window system, so that what
// only reports (the print engine, the port link) needs nothing more.
#include "platform/text/unicode.h"
#include "platform/user32/dialogs/message_box_presenter.h"
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
