// Key decoding: what ncurses reads becomes the window system's key events.
// The one table of keys lives in keys.cpp; docs/terminal.md lists the same.
#pragma once

#include "platform/screen/input.h"

#include <cstdint>
#include <vector>

namespace terminal {

// Key codes that ncurses gives, at run time, to xterm's modified keys. They
// differ between terminal descriptions, so they are learnt at start.
struct ModifiedKeyCodes {
    int altUp = -1;
    int altDown = -1;
    int ctrlHome = -1;
    int ctrlEnd = -1;
};

// What one read gave: a key code (KEY_CODE_YES) or a character.
struct ReadResult {
    bool isKeyCode = false;
    std::uint32_t code = 0;
};

class KeyDecoder {
public:
    explicit KeyDecoder(ModifiedKeyCodes codes = {}) : codes_(codes) {}

    // Decodes one read into out. Esc is held back, because the next read may
    // make it Alt+key; flush() settles it when no more input is waiting.
    void feed(ReadResult read, std::vector<screen::InputEvent>& out);
    void flush(std::vector<screen::InputEvent>& out);

private:
    ModifiedKeyCodes codes_;
    bool escapeHeld_ = false;
};

} // namespace terminal
