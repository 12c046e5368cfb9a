// Key decoding: what ncurses reads becomes the window system's input events.
// The one table of keys lives in keys.cpp; docs/terminal.md lists the same.
#pragma once

#include "platform/screen/input.h"
#include "platform/terminal/input_chars.h"

#include <cstdint>
#include <string>
#include <vector>

namespace terminal {

// Key codes that ncurses gives, at run time, to xterm's modified keys and to
// the marks around a bracketed paste. They differ between terminal
// descriptions, so they are learnt at start.
struct ModifiedKeyCodes {
    int altUp = -1;
    int altDown = -1;
    int ctrlHome = -1;
    int ctrlEnd = -1;
    int ctrlInsert = -1;
    int pasteStart = -1;
    int pasteEnd = -1;
};

// What one read gave: a key code (one of ncurses' KEY_ codes) or a byte.
struct ReadResult {
    bool isKeyCode = false;
    std::uint32_t code = 0;
};

class KeyDecoder {
public:
    explicit KeyDecoder(ModifiedKeyCodes codes = {}, InputCodeset codeset = InputCodeset::Utf8)
        : codes_(codes), chars_(codeset) {}

    // Decodes one read into out. Esc is held back, because the next read may
    // make it Alt+key; flush() settles it when no more input is waiting. A
    // character's bytes may straddle reads and flushes: they wait for the
    // rest. Text between the paste marks comes out as TextEvents.
    void feed(ReadResult read, std::vector<screen::InputEvent>& out);
    void flush(std::vector<screen::InputEvent>& out);

private:
    void feedKeyCode(int code, std::vector<screen::InputEvent>& out);
    void feedChar(char32_t ch, std::vector<screen::InputEvent>& out);
    void addPasted(char32_t ch);
    void endPastePiece(std::vector<screen::InputEvent>& out);

    ModifiedKeyCodes codes_;
    InputCharDecoder chars_;
    std::u32string decoded_;
    bool escapeHeld_ = false;
    bool pasting_ = false;
    bool pastedReturn_ = false; // the last pasted character was a CR
    bool pieceGiven_ = false;   // a piece of this paste has been handed over
    std::u32string pasted_;
};

} // namespace terminal
