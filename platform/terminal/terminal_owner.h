// The one owner of the terminal's state. It saves the terminal's settings
// before ncurses touches them, starts ncurses, and puts everything back on
// every way out: a normal end (also from atexit), or a crash signal, where
// only async-signal-safe calls may be made.
#pragma once

namespace terminal {

struct TerminalFeatures {
    bool colour = false;
    bool mouse = false;
    bool utf8 = false;
};

enum class TerminalStart { Started, NotATerminal, UnknownTerminal, CannotMoveCursor };

// Starts ncurses on standard input and output. Anything but Started leaves
// the terminal untouched: they are not a terminal the form can be shown on.
TerminalStart StartTerminal(TerminalFeatures& features);
// Ends ncurses and restores the saved settings; safe to call more than once.
void StopTerminal() noexcept;
// The crash path: writes the reset sequences and restores the saved settings
// with async-signal-safe calls only, never waiting for a terminal that does
// not read (what finds no room within a moment is dropped). Idempotent.
void RestoreTerminalFromSignal() noexcept;
// ncurses is running and the terminal is in our modes.
bool TerminalActive() noexcept;

} // namespace terminal
