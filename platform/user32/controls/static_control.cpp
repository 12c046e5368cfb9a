#include "platform/user32/controls/static_control.h"

#include "platform/user32/core/label.h"

#include <algorithm>
#include <vector>

namespace user32 {

int PaintLabel(Painter& painter, int x, int y, int width, std::u16string_view raw,
               screen::Role role, std::uint8_t attrs) {
    const Label label = ParseLabel(raw);
    const int n = std::min<int>(width, static_cast<int>(label.text.size()));
    for (int i = 0; i < n; ++i) {
        const std::uint8_t a = i == label.mnemonicIndex ? (attrs | screen::AttrUnderline) : attrs;
        painter.put(x + i, y, label.text[static_cast<std::size_t>(i)], role, a);
    }
    return n;
}

std::vector<std::u32string> WrapText(const std::u32string& text, int width) {
    std::vector<std::u32string> rows;
    std::size_t start = 0;
    const auto w = static_cast<std::size_t>(std::max(1, width));
    while (start < text.size()) {
        const std::size_t nl = text.find(U'\n', start);
        const std::size_t lineEnd = nl == std::u32string::npos ? text.size() : nl;
        std::size_t pos = start;
        do {
            std::size_t end = std::min(lineEnd, pos + w);
            if (end < lineEnd) {
                const std::size_t space = text.rfind(U' ', end);
                if (space != std::u32string::npos && space > pos) {
                    end = space;
                }
            }
            std::u32string row = text.substr(pos, end - pos);
            if (!row.empty() && row.back() == U'\r') {
                row.pop_back();
            }
            rows.push_back(row);
            pos = end;
            while (pos < lineEnd && text[pos] == U' ') {
                ++pos;
            }
        } while (pos < lineEnd);
        start = lineEnd + 1;
    }
    return rows;
}

namespace {

// Labels to the dialog (their mnemonics move the focus on), and see-through
// to the mouse: a click on one reaches what lies under it. Static text and
// group boxes answer alike.
LRESULT AnswerAsStatic(Window& window, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_NCHITTEST:
        return HTTRANSPARENT;
    default:
        return window.Window::message(msg, wParam, lParam);
    }
}

} // namespace

LRESULT StaticControl::message(UINT msg, WPARAM wParam, LPARAM lParam) {
    return AnswerAsStatic(*this, msg, wParam, lParam);
}

LRESULT GroupBox::message(UINT msg, WPARAM wParam, LPARAM lParam) {
    return AnswerAsStatic(*this, msg, wParam, lParam);
}

void StaticControl::paint(Painter& painter, bool) const {
    const screen::Role role = enabled() ? screen::Role::Window : screen::Role::Disabled;
    painter.fill(CellRect{0, 0, rect().w, rect().h}, U' ', role);
    if (rect().h <= 1) {
        PaintLabel(painter, 0, 0, rect().w, text_, role, 0);
        return;
    }
    const Label label = ParseLabel(text_);
    const auto rows = WrapText(label.text, rect().w);
    for (int y = 0; y < rect().h && y < static_cast<int>(rows.size()); ++y) {
        painter.text(0, y, rows[static_cast<std::size_t>(y)], role);
    }
}

void GroupBox::paint(Painter& painter, bool) const {
    const screen::Role role = enabled() ? screen::Role::Window : screen::Role::Disabled;
    painter.frame(CellRect{0, 0, rect().w, rect().h}, role);
    if (text_.empty() || rect().w < 5) {
        return;
    }
    painter.put(1, 0, U' ', role);
    const int n = PaintLabel(painter, 2, 0, rect().w - 5, text_, role, 0);
    painter.put(2 + n, 0, U' ', role);
}

} // namespace user32
