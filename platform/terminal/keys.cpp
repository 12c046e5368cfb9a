#include "platform/terminal/keys.h"

#include "platform/terminal/ncurses_wide.h"

#include <optional>

namespace terminal {
namespace {

using screen::Key;
using screen::KeyEvent;

struct KeyCodeRow {
    int code = 0;
    KeyEvent event;
};

// ncurses key codes that have a fixed value in every terminal description.
const KeyCodeRow kKeyCodes[] = {
    {KEY_UP, {Key::Up}},
    {KEY_DOWN, {Key::Down}},
    {KEY_LEFT, {Key::Left}},
    {KEY_RIGHT, {Key::Right}},
    {KEY_HOME, {Key::Home}},
    {KEY_END, {Key::End}},
    {KEY_PPAGE, {Key::PageUp}},
    {KEY_NPAGE, {Key::PageDown}},
    {KEY_BACKSPACE, {Key::Backspace}},
    {KEY_DC, {Key::Delete}},
    {KEY_IC, {Key::Insert}},
    {KEY_ENTER, {Key::Enter}},
    {KEY_BTAB, {Key::BackTab, 0, true}},
    {KEY_F(1), {Key::F1}},
    {KEY_F(4), {Key::F4}},
    // Shifted movement, for selecting text in an edit field.
    {KEY_SLEFT, {Key::Left, 0, true}},
    {KEY_SRIGHT, {Key::Right, 0, true}},
    {KEY_SR, {Key::Up, 0, true}},
    {KEY_SF, {Key::Down, 0, true}},
    {KEY_SHOME, {Key::Home, 0, true}},
    {KEY_SEND, {Key::End, 0, true}},
};

constexpr char32_t kEscape = 27;

std::optional<KeyEvent> FromKeyCode(int code, const ModifiedKeyCodes& modified) {
    for (const KeyCodeRow& row : kKeyCodes) {
        if (row.code == code) {
            return row.event;
        }
    }
    if (code == modified.altUp) {
        return KeyEvent{Key::Up, 0, false, false, true};
    }
    if (code == modified.altDown) {
        return KeyEvent{Key::Down, 0, false, false, true};
    }
    if (code == modified.ctrlHome) {
        return KeyEvent{Key::Home, 0, false, true};
    }
    if (code == modified.ctrlEnd) {
        return KeyEvent{Key::End, 0, false, true};
    }
    return std::nullopt;
}

// Characters below the space, and DEL, are keys of their own or Ctrl+letter.
std::optional<KeyEvent> FromControl(char32_t ch) {
    switch (ch) {
    case 8:
    case 127:
        return KeyEvent{Key::Backspace};
    case 9:
        return KeyEvent{Key::Tab};
    case 10:
    case 13:
        return KeyEvent{Key::Enter};
    default:
        if (ch >= 1 && ch <= 26) {
            return KeyEvent{Key::Char, U'a' + (ch - 1), false, true};
        }
        return std::nullopt;
    }
}

} // namespace

void KeyDecoder::feed(ReadResult read, std::vector<screen::InputEvent>& out) {
    const bool alt = escapeHeld_;
    escapeHeld_ = false;

    std::optional<KeyEvent> event;
    if (read.isKeyCode) {
        event = FromKeyCode(static_cast<int>(read.code), codes_);
    } else if (read.code == kEscape) {
        if (alt) {
            out.emplace_back(KeyEvent{Key::Escape});
        }
        escapeHeld_ = true;
        return;
    } else if (read.code < 0x20 || read.code == 127) {
        event = FromControl(read.code);
    } else if (read.code <= 0x10FFFF && (read.code < 0xD800 || read.code > 0xDFFF)) {
        event = KeyEvent{Key::Char, static_cast<char32_t>(read.code)};
    }

    if (!event) {
        // An unknown key after Esc still leaves the Esc the user pressed.
        if (alt) {
            out.emplace_back(KeyEvent{Key::Escape});
        }
        return;
    }
    event->alt = event->alt || alt;
    out.emplace_back(*event);
}

void KeyDecoder::flush(std::vector<screen::InputEvent>& out) {
    if (escapeHeld_) {
        escapeHeld_ = false;
        out.emplace_back(KeyEvent{Key::Escape});
    }
}

} // namespace terminal
