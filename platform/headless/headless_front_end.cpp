#include "platform/headless/headless_front_end.h"

#include "platform/text/unicode.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace headless {

void HeadlessFrontEnd::present(const screen::Grid& grid) {
    grid_ = grid;
}

screen::InputEvent HeadlessFrontEnd::waitEvent() {
    while (queue_.empty() && !steps_.empty()) {
        Step step = std::move(steps_.front());
        steps_.pop_front();
        step(*this);
    }
    if (queue_.empty()) {
        return screen::QuitEvent{};
    }
    screen::InputEvent ev = queue_.front();
    queue_.pop_front();
    if (const auto* r = std::get_if<screen::ResizeEvent>(&ev)) {
        width_ = r->width;
        height_ = r->height;
    }
    return ev;
}

screen::BusyInput HeadlessFrontEnd::takeBusyInput() {
    screen::BusyInput input;
    while (!queue_.empty()) {
        const screen::InputEvent ev = queue_.front();
        queue_.pop_front();
        if (std::holds_alternative<screen::QuitEvent>(ev)) {
            input.stop = true;
            continue;
        }
        if (const auto* r = std::get_if<screen::ResizeEvent>(&ev)) {
            width_ = r->width;
            height_ = r->height;
        }
        input.events.push_back(ev);
    }
    return input;
}

void HeadlessFrontEnd::reset(int width, int height) {
    width_ = width;
    height_ = height;
    queue_.clear();
    steps_.clear();
    grid_ = screen::Grid();
}

void HeadlessFrontEnd::push(screen::InputEvent ev) {
    queue_.push_back(std::move(ev));
}

void HeadlessFrontEnd::key(screen::Key k, bool shift, bool ctrl, bool alt) {
    screen::KeyEvent ev;
    ev.key = k;
    ev.shift = shift;
    ev.ctrl = ctrl;
    ev.alt = alt;
    push(ev);
}

void HeadlessFrontEnd::ch(char32_t c, bool ctrl, bool alt) {
    screen::KeyEvent ev;
    ev.key = screen::Key::Char;
    ev.ch = c;
    ev.ctrl = ctrl;
    ev.alt = alt;
    push(ev);
}

void HeadlessFrontEnd::type(std::string_view utf8) {
    for (char32_t c : text::Utf16ToUtf32(text::Utf8ToUtf16(utf8))) {
        ch(c);
    }
}

void HeadlessFrontEnd::paste(std::string_view utf8, bool continues) {
    push(screen::TextEvent{text::Utf16ToUtf32(text::Utf8ToUtf16(utf8)), continues});
}

void HeadlessFrontEnd::click(int x, int y) {
    push(screen::MouseEvent{screen::MouseEvent::Kind::Press, x, y});
    push(screen::MouseEvent{screen::MouseEvent::Kind::Release, x, y});
}

void HeadlessFrontEnd::wheel(int x, int y, bool up) {
    push(screen::MouseEvent{
        up ? screen::MouseEvent::Kind::WheelUp : screen::MouseEvent::Kind::WheelDown, x, y});
}

void HeadlessFrontEnd::resize(int width, int height) {
    push(screen::ResizeEvent{width, height});
}

void HeadlessFrontEnd::then(Step step) {
    steps_.push_back(std::move(step));
}

std::string HeadlessFrontEnd::region(int x, int y, int width, int count) const {
    std::string out;
    for (int row = y; row < y + count; ++row) {
        if (row > y) {
            out += '\n';
        }
        std::u32string cells;
        for (int col = x; col < x + width; ++col) {
            if (grid_.contains(col, row)) {
                grid_.at(col, row).appendTo(cells);
            } else {
                cells += U' ';
            }
        }
        out += text::Utf32ToUtf8(cells);
    }
    return out;
}

bool HeadlessFrontEnd::find(std::string_view utf8, int& x, int& y) const {
    const std::u32string needle = text::Utf16ToUtf32(text::Utf8ToUtf16(utf8));
    for (int row = 0; row < grid_.height(); ++row) {
        // The row's text with its marks, and the cell each character is in.
        std::u32string cells;
        std::vector<int> cellOf;
        for (int col = 0; col < grid_.width(); ++col) {
            grid_.at(col, row).appendTo(cells);
            cellOf.resize(cells.size(), col);
        }
        const auto at = cells.find(needle);
        if (at != std::u32string::npos) {
            x = cellOf[at];
            y = row;
            return true;
        }
    }
    return false;
}

HeadlessFrontEnd& Screen() {
    static HeadlessFrontEnd front;
    return front;
}

} // namespace headless

namespace screen {

FrontEnd& ActiveFrontEnd() {
    return headless::Screen();
}

} // namespace screen
