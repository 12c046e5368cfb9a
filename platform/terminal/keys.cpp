#include "platform/terminal/keys.h"

#include "platform/terminal/ncurses_wide.h"
#include "platform/text/utf8.h"

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
    if (code == modified.ctrlInsert) {
        return KeyEvent{Key::Insert, 0, false, true};
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

// A key read after a held Esc is that key with Alt; a byte that is no key
// still leaves the Esc the user pressed.
void EmitAfterEscape(std::optional<KeyEvent> event, bool alt,
                     std::vector<screen::InputEvent>& out) {
    if (!event) {
        if (alt) {
            out.emplace_back(KeyEvent{Key::Escape});
        }
        return;
    }
    event->alt = event->alt || alt;
    out.emplace_back(*event);
}

} // namespace

void KeyDecoder::feed(ReadResult read, std::vector<screen::InputEvent>& out) {
    decoded_.clear();
    if (read.isKeyCode) {
        chars_.abandon(decoded_);
    } else {
        chars_.push(static_cast<unsigned char>(read.code), decoded_);
    }
    for (const char32_t ch : decoded_) {
        feedChar(ch, out);
    }
    if (read.isKeyCode) {
        feedKeyCode(static_cast<int>(read.code), out);
    }
}

void KeyDecoder::feedKeyCode(int code, std::vector<screen::InputEvent>& out) {
    if (code == codes_.pasteStart) {
        flush(out); // an Esc before the paste was a key of its own
        pasting_ = true;
        pastedReturn_ = false;
        pieceGiven_ = false;
        return;
    }
    if (code == codes_.pasteEnd) {
        endPastePiece(out);
        pasting_ = false;
        return;
    }
    if (pasting_) {
        // Only a line end means something in text; other keys that the
        // pasted bytes happen to spell are dropped.
        if (code == KEY_ENTER) {
            addPasted(U'\r');
        }
        return;
    }
    const bool alt = escapeHeld_;
    escapeHeld_ = false;
    EmitAfterEscape(FromKeyCode(code, codes_), alt, out);
}

void KeyDecoder::feedChar(char32_t ch, std::vector<screen::InputEvent>& out) {
    if (pasting_) {
        addPasted(ch);
        return;
    }
    const bool alt = escapeHeld_;
    escapeHeld_ = false;

    std::optional<KeyEvent> event;
    if (ch == kEscape) {
        if (alt) {
            out.emplace_back(KeyEvent{Key::Escape});
        }
        escapeHeld_ = true;
        return;
    }
    if (ch < 0x20 || ch == 127) {
        event = FromControl(ch);
    } else if (ch <= 0x10FFFF && !text::IsSurrogateCodePoint(ch)) {
        event = KeyEvent{Key::Char, ch};
    }
    EmitAfterEscape(event, alt, out);
}

// Pasted text keeps its characters, tabs and line breaks; a terminal sends a
// line break as CR, LF or CR LF, and each is one break.
void KeyDecoder::addPasted(char32_t ch) {
    const bool afterReturn = pastedReturn_;
    pastedReturn_ = ch == U'\r';
    if (ch == U'\n' && afterReturn) {
        return;
    }
    if (ch == U'\r' || ch == U'\n') {
        pasted_ += U'\n';
    } else if (ch == U'\t' ||
               (ch >= 0x20 && ch != 0x7F && ch <= 0x10FFFF && !text::IsSurrogateCodePoint(ch))) {
        pasted_ += ch;
    }
}

void KeyDecoder::endPastePiece(std::vector<screen::InputEvent>& out) {
    if (!pasted_.empty()) {
        out.emplace_back(screen::TextEvent{std::move(pasted_), pieceGiven_});
        pasted_.clear();
        pieceGiven_ = true;
    }
}

void KeyDecoder::flush(std::vector<screen::InputEvent>& out) {
    if (pasting_) {
        // A long paste is handed over as it comes; its end mark may be a
        // read or two away.
        endPastePiece(out);
        return;
    }
    if (escapeHeld_) {
        escapeHeld_ = false;
        out.emplace_back(KeyEvent{Key::Escape});
    }
}

} // namespace terminal
