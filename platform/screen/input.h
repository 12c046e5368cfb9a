// Input events that a front end hands to the window system.
#pragma once

#include <string>
#include <variant>

namespace screen {

enum class Key {
    Char, // a printable character, in KeyEvent::ch
    Enter,
    Escape,
    Tab,
    BackTab,
    Up,
    Down,
    Left,
    Right,
    Home,
    End,
    PageUp,
    PageDown,
    Backspace,
    Delete,
    Insert,
    F1,
    F4,
};

struct KeyEvent {
    Key key = Key::Char;
    char32_t ch = 0;
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

struct MouseEvent {
    enum class Kind { Press, Release, DoubleClick, WheelUp, WheelDown };
    Kind kind = Kind::Press;
    int x = 0;
    int y = 0;
};

struct ResizeEvent {
    int width = 0;
    int height = 0;
};

// Text that arrived as text, not as keys: a paste. It goes into the focused
// control as typed characters and never acts as a key (Tab, Enter, Esc).
// Line breaks are '\n' whatever the terminal sent; tabs stay tabs. A long
// paste may come in several pieces, in order; every piece but the first
// continues the one before it (a paste that began during a wait is dropped
// whole, not from its middle on).
struct TextEvent {
    std::u32string text;
    bool continues = false;
};

// The program must stop (SIGINT, SIGTERM, SIGHUP from outside) or the input ended.
struct QuitEvent {};

using InputEvent = std::variant<KeyEvent, MouseEvent, ResizeEvent, TextEvent, QuitEvent>;

} // namespace screen
