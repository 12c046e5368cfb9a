#include "platform/terminal/curses_front_end.h"

#include "platform/screen/box_chars.h"
#include "platform/terminal/keys.h"
#include "platform/terminal/ncurses_wide.h"
#include "platform/terminal/palette.h"
#include "platform/terminal/signals.h"
#include "platform/terminal/terminal_owner.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <deque>
#include <poll.h>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>

namespace terminal {
namespace {

using screen::InputEvent;

// Reads that poll announced as input but that yield nothing, in a row, before
// the input is taken to have ended (a terminal that went away without a
// hang-up). A read that nothing announced is only a quiet terminal: waits
// read on every progress tick, and a wait of any length must not look like a
// terminal gone.
constexpr int kEmptyReadLimit = 50;

attr_t CursesAttributes(std::uint8_t emphasis) {
    attr_t attrs = A_NORMAL;
    if ((emphasis & EmphasisBold) != 0) {
        attrs |= A_BOLD;
    }
    if ((emphasis & EmphasisUnderline) != 0) {
        attrs |= A_UNDERLINE;
    }
    if ((emphasis & EmphasisReverse) != 0) {
        attrs |= A_REVERSE;
    }
    if ((emphasis & EmphasisDim) != 0) {
        attrs |= A_DIM;
    }
    return attrs;
}

std::uint8_t CellEmphasis(std::uint8_t attrs) {
    std::uint8_t emphasis = EmphasisNone;
    if ((attrs & screen::AttrBold) != 0) {
        emphasis |= EmphasisBold;
    }
    if ((attrs & screen::AttrUnderline) != 0) {
        emphasis |= EmphasisUnderline;
    }
    if ((attrs & screen::AttrReverse) != 0) {
        emphasis |= EmphasisReverse;
    }
    return emphasis;
}

// ncurses learns xterm's modified keys from the terminal description, which
// may lack them although the terminal sends them; then we teach it.
int LearnKey(const char* capability, const char* xtermSequence, int spareCode) {
    char* known = tigetstr(capability);
    if (known != nullptr && known != reinterpret_cast<char*>(-1)) {
        const int code = key_defined(known);
        if (code > 0) {
            return code;
        }
    }
    const int code = key_defined(xtermSequence);
    if (code > 0) {
        return code;
    }
    return define_key(xtermSequence, spareCode) == OK ? spareCode : -1;
}

ModifiedKeyCodes LearnModifiedKeys() {
    // Spare codes beyond every code ncurses hands out itself.
    constexpr int kSpare = KEY_MAX + 0x1000;
    ModifiedKeyCodes codes;
    codes.altUp = LearnKey("kUP3", "\033[1;3A", kSpare);
    codes.altDown = LearnKey("kDN3", "\033[1;3B", kSpare + 1);
    codes.ctrlHome = LearnKey("kHOM5", "\033[1;5H", kSpare + 2);
    codes.ctrlEnd = LearnKey("kEND5", "\033[1;5F", kSpare + 3);
    codes.ctrlInsert = LearnKey("kIC5", "\033[2;5~", kSpare + 4);
    // The marks around a bracketed paste, as xterm sends them; some
    // descriptions name them PS and PE.
    codes.pasteStart = LearnKey("PS", "\033[200~", kSpare + 5);
    codes.pasteEnd = LearnKey("PE", "\033[201~", kSpare + 6);
    return codes;
}

class CursesFrontEnd final : public screen::FrontEnd {
public:
    explicit CursesFrontEnd(TerminalFeatures features)
        : features_(features),
          decoder_(LearnModifiedKeys(), features.utf8 ? InputCodeset::Utf8 : InputCodeset::Locale) {
        setUpLooks();
    }
    ~CursesFrontEnd() override { StopTerminal(); }

    int width() const override { return TerminalActive() ? COLS : 80; }
    int height() const override { return TerminalActive() ? LINES : 24; }

    void present(const screen::Grid& grid) override;
    InputEvent waitEvent() override;
    int busyDescriptors(int (&fds)[2]) override;
    screen::BusyInput takeBusyInput() override;

private:
    struct CellLook {
        short pair = 0;
        attr_t attrs = A_NORMAL;
    };

    void setUpLooks();
    wchar_t glyph(char32_t ch) const;
    void addMarks(const screen::Cell& cell, wchar_t (&text)[screen::kMarksPerCell + 2]) const;
    void readAvailable();
    void readMouse();
    void waitForInput();
    void applyResize();

    TerminalFeatures features_;
    KeyDecoder decoder_;
    std::array<CellLook, kRoleCount> looks_{};
    std::deque<InputEvent> pending_;
    std::vector<InputEvent> decoded_;
    bool stopping_ = false;
    int emptyReads_ = 0;
};

void CursesFrontEnd::setUpLooks() {
    for (int i = 0; i < kRoleCount; ++i) {
        const auto role = static_cast<screen::Role>(i);
        CellLook& look = looks_[static_cast<std::size_t>(i)];
        if (!features_.colour) {
            look.attrs = CursesAttributes(MonochromeEmphasis(role));
            continue;
        }
        Look colour = ColourLook(role);
        short foreground = static_cast<short>(colour.foreground);
        // Dim black is grey; where the terminal has a real grey, use it.
        if (COLORS >= 16 && colour.foreground == Colour::Black &&
            (colour.emphasis & EmphasisDim) != 0) {
            foreground = 8;
            colour.emphasis &= static_cast<std::uint8_t>(~EmphasisDim);
        }
        look.pair = static_cast<short>(i + 1);
        init_pair(look.pair, foreground, static_cast<short>(colour.background));
        look.attrs = CursesAttributes(colour.emphasis);
    }
}

wchar_t CursesFrontEnd::glyph(char32_t ch) const {
    if (ch < 0x20 || ch == 0x7F || (ch >= 0x80 && ch < 0xA0)) {
        return L' ';
    }
    if (ch < 0x80) {
        return static_cast<wchar_t>(ch);
    }
    if (features_.utf8) {
        return static_cast<wchar_t>(ch);
    }
    // Line drawing and the window system's marks go out as ASCII; another
    // codeset may still hold the character itself (a CJK locale, say).
    if (const char32_t standIn = screen::AsciiFallback(ch); standIn != U'?') {
        return static_cast<wchar_t>(standIn);
    }
    char bytes[MB_LEN_MAX];
    std::mbstate_t state{};
    if (std::wcrtomb(bytes, static_cast<wchar_t>(ch), &state) != static_cast<std::size_t>(-1)) {
        return static_cast<wchar_t>(ch);
    }
    return L'?';
}

// The cell's marks go into the same ncurses cell after its character, as
// the terminal joins them; only those the locale shows without a width of
// their own (wcwidth 0), so that no mark can shift the cells after it.
void CursesFrontEnd::addMarks(const screen::Cell& cell,
                              wchar_t (&text)[screen::kMarksPerCell + 2]) const {
    std::size_t n = 1;
    for (char32_t mark : cell.marks) {
        if (mark == 0) {
            break;
        }
        const auto wide = static_cast<wchar_t>(mark);
        char bytes[MB_LEN_MAX];
        std::mbstate_t state{};
        if (wcwidth(wide) == 0 &&
            std::wcrtomb(bytes, wide, &state) != static_cast<std::size_t>(-1)) {
            text[n++] = wide;
        }
    }
    text[n] = L'\0';
}

void CursesFrontEnd::present(const screen::Grid& grid) {
    if (!TerminalActive()) {
        return;
    }
    const int rows = std::min(LINES, grid.height());
    const int columns = std::min(COLS, grid.width());
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < columns; ++x) {
            const screen::Cell& cell = grid.at(x, y);
            const CellLook& look = looks_[static_cast<std::size_t>(cell.role)];
            wchar_t text[screen::kMarksPerCell + 2] = {glyph(cell.ch), L'\0'};
            const int cells = wcwidth(text[0]);
            // A double-width character covers the cell after it; one that
            // does not fit, or has no width of its own, shows as '?'.
            if (cells < 1 || (cells == 2 && x + 1 >= columns)) {
                text[0] = L'?';
            }
            addMarks(cell, text);
            cchar_t out;
            setcchar(&out, text, look.attrs | CursesAttributes(CellEmphasis(cell.attrs)), look.pair,
                     nullptr);
            mvadd_wch(y, x, &out);
            if (cells == 2 && x + 1 < columns) {
                ++x;
            }
        }
    }
    if (grid.cursorVisible && grid.cursorX >= 0 && grid.cursorY >= 0 && grid.cursorX < columns &&
        grid.cursorY < rows) {
        curs_set(1);
        move(grid.cursorY, grid.cursorX);
    } else {
        curs_set(0);
    }
    refresh();
}

InputEvent CursesFrontEnd::waitEvent() {
    for (;;) {
        if (stopping_ || StopRequested() || !TerminalActive()) {
            // Once asked, every later wait answers the same, so that every
            // modal loop on the way out ends.
            stopping_ = true;
            return screen::QuitEvent{};
        }
        if (TakeResize()) {
            applyResize();
            return screen::ResizeEvent{COLS, LINES};
        }
        if (!pending_.empty()) {
            InputEvent event = pending_.front();
            pending_.pop_front();
            if (std::holds_alternative<screen::QuitEvent>(event)) {
                stopping_ = true;
            }
            return event;
        }
        readAvailable();
        if (pending_.empty()) {
            waitForInput();
        }
    }
}

int CursesFrontEnd::busyDescriptors(int (&fds)[2]) {
    fds[0] = STDIN_FILENO;
    fds[1] = WakeFd();
    return fds[1] >= 0 ? 2 : 1;
}

screen::BusyInput CursesFrontEnd::takeBusyInput() {
    screen::BusyInput input;
    if (TakeResize()) {
        applyResize();
        input.events.emplace_back(screen::ResizeEvent{COLS, LINES});
    }
    DrainWake();
    pollfd terminal{STDIN_FILENO, POLLIN, 0};
    if (poll(&terminal, 1, 0) == 1 && (terminal.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
        stopping_ = true; // the terminal went away
    }
    if (!stopping_) {
        readAvailable();
    }
    if ((terminal.revents & POLLIN) == 0) {
        emptyReads_ = 0;
    } else if (emptyReads_ >= kEmptyReadLimit) {
        stopping_ = true;
    }
    decoder_.flush(decoded_);
    pending_.insert(pending_.end(), decoded_.begin(), decoded_.end());
    decoded_.clear();
    input.events.insert(input.events.end(), pending_.begin(), pending_.end());
    pending_.clear();
    input.stop = stopping_ || StopRequested() || !TerminalActive();
    return input;
}

// Bytes, not get_wch's characters: get_wch in no-delay mode gives up on a
// character whose bytes have not all arrived and loses what it had read, and
// it reads the locale's codeset where the keyboard's ASCII must stay ASCII.
// The decoder puts characters together across reads (input_chars.h).
void CursesFrontEnd::readAvailable() {
    decoded_.clear();
    bool readSomething = false;
    for (int code = getch(); code != ERR; code = getch()) {
        readSomething = true;
        if (code == KEY_MOUSE) {
            readMouse();
            continue;
        }
        if (code == KEY_RESIZE) {
            continue; // resizes come from our own handler
        }
        decoder_.feed({code >= KEY_MIN, static_cast<std::uint32_t>(code)}, decoded_);
    }
    decoder_.flush(decoded_);
    pending_.insert(pending_.end(), decoded_.begin(), decoded_.end());
    emptyReads_ = readSomething ? 0 : emptyReads_ + 1;
}

void CursesFrontEnd::readMouse() {
    // Reports that arrive together come as one KEY_MOUSE; getmouse then
    // hands them out newest first.
    std::vector<MEVENT> reports;
    for (MEVENT mouse{}; getmouse(&mouse) == OK;) {
        reports.push_back(mouse);
    }
    // An Esc held back before the mouse report was a key of its own.
    decoder_.flush(decoded_);
    using Kind = screen::MouseEvent::Kind;
    for (std::size_t k = reports.size(); k-- > 0;) {
        const MEVENT& report = reports[k];
        const auto add = [&](Kind kind) {
            decoded_.emplace_back(screen::MouseEvent{kind, report.x, report.y});
        };
        if ((report.bstate & BUTTON1_PRESSED) != 0) {
            add(Kind::Press);
        }
        if ((report.bstate & BUTTON1_RELEASED) != 0) {
            add(Kind::Release);
        }
        if ((report.bstate & BUTTON4_PRESSED) != 0) {
            add(Kind::WheelUp);
        }
        if ((report.bstate & BUTTON5_PRESSED) != 0) {
            add(Kind::WheelDown);
        }
    }
}

void CursesFrontEnd::waitForInput() {
    if (emptyReads_ >= kEmptyReadLimit) {
        stopping_ = true;
        return;
    }
    pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {WakeFd(), POLLIN, 0}};
    // A signal handler always interrupts poll; the pipe covers a signal that
    // arrives between the checks above and the call.
    const int ready = poll(fds, 2, -1);
    if (ready < 0) {
        if (errno != EINTR) {
            stopping_ = true;
        }
        return;
    }
    if (fds[1].revents != 0) {
        DrainWake();
    }
    if ((fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
        stopping_ = true; // the terminal went away
    }
    if ((fds[0].revents & POLLIN) == 0) {
        emptyReads_ = 0; // woken for a signal, not for input
    }
}

void CursesFrontEnd::applyResize() {
    winsize size{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_row > 0 && size.ws_col > 0) {
        resize_term(size.ws_row, size.ws_col);
    }
    // What the terminal showed has reflowed: draw everything again.
    clearok(curscr, TRUE);
}

// Stands in when there is no terminal to show the form on: says why, once,
// and ends every dialog.
class NoTerminal final : public screen::FrontEnd {
public:
    explicit NoTerminal(std::string reason) : reason_(std::move(reason)) {}
    int width() const override { return 80; }
    int height() const override { return 24; }
    void present(const screen::Grid&) override {}
    InputEvent waitEvent() override { return screen::QuitEvent{}; }
    screen::BusyInput takeBusyInput() override { return screen::BusyInput{{}, true}; }
    const char* unusableReason() const override { return reason_.c_str(); }

private:
    std::string reason_;
};

} // namespace

screen::FrontEnd* CreateFrontEnd() {
    TerminalFeatures features;
    if (isatty(STDIN_FILENO) == 0 || isatty(STDOUT_FILENO) == 0) {
        return new NoTerminal("needs a terminal on standard input and output");
    }
    const char* term = std::getenv("TERM");
    const std::string named = std::string("the terminal \"") + (term ? term : "") + "\"";
    switch (StartTerminal(features)) {
    case TerminalStart::Started:
        break;
    case TerminalStart::CannotMoveCursor:
        return new NoTerminal(named + " cannot move its cursor, which the form needs; run it "
                                      "in a full-screen terminal (TERM=xterm-256color, say)");
    default:
        return new NoTerminal("cannot use " + named + " (check TERM)");
    }
    return new CursesFrontEnd(features);
}

} // namespace terminal

screen::FrontEnd& screen::ActiveFrontEnd() {
    // Never destroyed: the terminal is restored by the exit hook, and code
    // that runs during exit may still ask for the front end.
    static screen::FrontEnd* const active = terminal::CreateFrontEnd();
    return *active;
}
