// Input events that a front end hands to the window system.
#pragma once

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

// The user asked the program to stop (Ctrl+C, SIGTERM, SIGHUP) or the input ended.
struct QuitEvent {};

using InputEvent = std::variant<KeyEvent, MouseEvent, ResizeEvent, QuitEvent>;

} // namespace screen
