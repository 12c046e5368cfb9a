#include "platform/user32/core/window.h"

#include "platform/user32/core/system.h"

#include <algorithm>

namespace user32 {
namespace {

bool IsDesktop(const Window* w) {
    return w == System::get().desktop();
}

} // namespace

bool Window::reachable() const {
    for (const Window* w = this; w != nullptr && !IsDesktop(w); w = w->parent()) {
        if (!w->visible() || !w->enabled()) {
            return false;
        }
    }
    return true;
}

CellRect Window::screenRect() const {
    CellRect r = rect_;
    for (const Window* p = parent_; p != nullptr && !IsDesktop(p); p = p->parent()) {
        const CellRect client = p->clientRect();
        r.x += p->rect().x + client.x;
        r.y += p->rect().y + client.y;
    }
    return r;
}

Window* Window::topLevel() {
    Window* w = this;
    while (w->parent() != nullptr && !IsDesktop(w->parent())) {
        w = w->parent();
    }
    return w;
}

LRESULT Window::message(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SETTEXT: {
        const auto* s = reinterpret_cast<LPCWSTR>(lParam);
        setText(s == nullptr ? std::u16string_view{} : std::u16string_view{s});
        return TRUE;
    }
    case WM_GETTEXT: {
        auto* buffer = reinterpret_cast<LPWSTR>(lParam);
        if (buffer == nullptr || wParam == 0) {
            return 0;
        }
        const std::u16string t = text();
        const std::size_t n = std::min<std::size_t>(t.size(), wParam - 1);
        std::copy_n(t.data(), n, buffer);
        buffer[n] = 0;
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(text().size());
    case WM_NCHITTEST:
        return HTCLIENT;
    default:
        return 0;
    }
}

void Window::paint(Painter&, bool) const {}

void Window::notifyParent(UINT code) {
    if (parent_ == nullptr || parent_->hwnd_ == nullptr) {
        return;
    }
    const WPARAM wParam = MAKELONG(static_cast<WORD>(id_), static_cast<WORD>(code));
    SendMessageW(parent_->hwnd_, WM_COMMAND, wParam, reinterpret_cast<LPARAM>(hwnd_));
}

} // namespace user32
