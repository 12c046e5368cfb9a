#include "platform/user32/controls/list_box.h"

#include "platform/screen/box_chars.h"
#include "platform/text/fold_case.h"
#include "platform/text/unicode.h"
#include "platform/user32/core/key_table.h"
#include "platform/user32/core/label.h"

#include <algorithm>

namespace user32 {

CellRect ListBox::itemArea() const {
    if ((style() & WS_BORDER) != 0 && rect().w >= 3 && rect().h >= 3) {
        return CellRect{1, 1, rect().w - 2, rect().h - 2};
    }
    return CellRect{0, 0, rect().w, rect().h};
}

void ListBox::scrollIntoView() {
    const int rows = std::max(1, itemArea().h);
    if (selection_ >= 0) {
        if (selection_ < top_) {
            top_ = selection_;
        } else if (selection_ >= top_ + rows) {
            top_ = selection_ - rows + 1;
        }
    }
    top_ = std::clamp(top_, 0, std::max(0, count() - rows));
}

void ListBox::select(int index, bool notify) {
    if (count() == 0) {
        return;
    }
    index = std::clamp(index, 0, count() - 1);
    const bool changed = index != selection_;
    selection_ = index;
    scrollIntoView();
    if (notify && changed) {
        notifyParent(LBN_SELCHANGE);
    }
}

LRESULT ListBox::message(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case LB_ADDSTRING: {
        const auto* s = reinterpret_cast<LPCWSTR>(lParam);
        items_.emplace_back(s != nullptr ? s : u"");
        return count() - 1;
    }
    case LB_RESETCONTENT:
        items_.clear();
        selection_ = -1;
        top_ = 0;
        return 0;
    case LB_SETCURSEL: {
        const auto index = static_cast<int>(static_cast<INT_PTR>(wParam));
        if (index < 0 || index >= count()) {
            // Win32 answers LB_ERR for -1 too, though it clears the
            // selection as asked.
            selection_ = -1;
            return LB_ERR;
        }
        select(index, false);
        return index;
    }
    case LB_GETCURSEL:
        return selection_;
    case LB_GETCOUNT:
        return count();
    case LB_GETTEXTLEN:
    case LB_GETTEXT: {
        const auto index = static_cast<int>(static_cast<INT_PTR>(wParam));
        if (index < 0 || index >= count()) {
            return LB_ERR;
        }
        const std::u16string& s = item(index);
        if (msg == LB_GETTEXT) {
            auto* buffer = reinterpret_cast<LPWSTR>(lParam);
            if (buffer == nullptr) {
                return LB_ERR;
            }
            std::copy(s.begin(), s.end(), buffer);
            buffer[s.size()] = 0;
        }
        return static_cast<LRESULT>(s.size());
    }
    default:
        return Window::message(msg, wParam, lParam);
    }
}

bool ListBox::key(const screen::KeyEvent& ev) {
    const int page = std::max(1, itemArea().h - 1);
    const int from = selection_ < 0 ? -1 : selection_;
    switch (LookupKey(KeyContext::List, ev)) {
    case Action::ListPrevious:
        select(from < 0 ? 0 : from - 1, true);
        return true;
    case Action::ListNext:
        select(from + 1, true);
        return true;
    case Action::ListPageUp:
        select(from - page, true);
        return true;
    case Action::ListPageDown:
        select(from < 0 ? page : from + page, true);
        return true;
    case Action::ListFirst:
        select(0, true);
        return true;
    case Action::ListLast:
        select(count() - 1, true);
        return true;
    default:
        break;
    }
    if (ev.key == screen::Key::Char && !ev.ctrl && !ev.alt && ev.ch > U' ') {
        // A letter: the next entry that starts with it.
        const char32_t want = text::FoldCase(ev.ch);
        for (int k = 1; k <= count(); ++k) {
            const int i = (from + k) % count();
            const std::u16string& s = item(i);
            if (!s.empty() && text::FoldCase(s[0]) == want) {
                select(i, true);
                break;
            }
        }
        return true;
    }
    return false;
}

void ListBox::mouse(const screen::MouseEvent& ev, int x, int y) {
    using Kind = screen::MouseEvent::Kind;
    const CellRect area = itemArea();
    if (ev.kind == Kind::WheelUp || ev.kind == Kind::WheelDown) {
        top_ += ev.kind == Kind::WheelUp ? -3 : 3;
        top_ = std::clamp(top_, 0, std::max(0, count() - std::max(1, area.h)));
        return;
    }
    if (ev.kind != Kind::Press && ev.kind != Kind::DoubleClick) {
        return;
    }
    if (!area.contains(x, y)) {
        return;
    }
    const int index = top_ + (y - area.y);
    if (index >= count()) {
        return;
    }
    select(index, true);
    if (ev.kind == Kind::DoubleClick) {
        notifyParent(LBN_DBLCLK);
    }
}

void ListBox::paint(Painter& painter, bool focused) const {
    using screen::Role;
    const Role role = enabled() ? Role::Field : Role::Disabled;
    painter.fill(CellRect{0, 0, rect().w, rect().h}, U' ', role);
    if (itemArea().x == 1) {
        painter.frame(CellRect{0, 0, rect().w, rect().h},
                      enabled() ? Role::Window : Role::Disabled);
        if (!text_.empty() && rect().w > 4) {
            painter.text(
                1, 0, text::Utf16ToUtf32(text_).substr(0, static_cast<std::size_t>(rect().w - 2)),
                enabled() ? Role::Window : Role::Disabled);
        }
    }
    const CellRect area = itemArea();
    for (int row = 0; row < area.h; ++row) {
        const int index = top_ + row;
        if (index >= count()) {
            break;
        }
        const bool selected = index == selection_;
        const Role r = selected ? Role::Selection : role;
        const std::uint8_t a =
            selected && focused ? screen::AttrReverse : (selected ? screen::AttrBold : 0);
        Painter line = painter.inner(CellRect{area.x, area.y + row, area.w, 1});
        line.fill(CellRect{0, 0, area.w, 1}, U' ', r, a);
        line.text(0, 0, text::Utf16ToUtf32(item(index)), r, a);
        if (focused && selected) {
            painter.cursor(area.x, area.y + row);
        }
    }
    if (focused && selection_ < 0) {
        painter.cursor(area.x, area.y);
    }
    if (top_ > 0) {
        painter.put(rect().w - 1, area.y, screen::glyph::ArrowUp, Role::Window);
    }
    if (top_ + area.h < count()) {
        painter.put(rect().w - 1, area.bottom() - 1, screen::glyph::ArrowDown, Role::Window);
    }
}

} // namespace user32
