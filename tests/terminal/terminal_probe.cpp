// A small program for the real-terminal tests: it shows a framed grid on the
// terminal front end, reports the last input event it was given, and ends in
// the way the test asks: a key, a stop signal, or a crash.
#include "platform/screen/box_chars.h"
#include "platform/screen/front_end.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

std::u32string Widen(const std::string& ascii) {
    return {ascii.begin(), ascii.end()};
}

// In the order of screen::Key.
constexpr const char* kKeyNames[] = {
    "Char", "Enter", "Escape", "Tab",      "BackTab",   "Up",     "Down",   "Left", "Right",
    "Home", "End",   "PageUp", "PageDown", "Backspace", "Delete", "Insert", "F1",   "F4"};

std::u32string Describe(const screen::InputEvent& event) {
    if (const auto* key = std::get_if<screen::KeyEvent>(&event)) {
        std::u32string text = Widen(std::string("Key ") + kKeyNames[static_cast<int>(key->key)]);
        if (key->key == screen::Key::Char) {
            text += U' ';
            text += key->ch;
        }
        text += Widen(std::string(key->shift ? " shift" : "") + (key->ctrl ? " ctrl" : "") +
                      (key->alt ? " alt" : ""));
        return text;
    }
    if (const auto* mouse = std::get_if<screen::MouseEvent>(&event)) {
        static const char* const kinds[] = {"press", "release", "double", "wheel-up", "wheel-down"};
        return Widen(std::string("Mouse ") + kinds[static_cast<int>(mouse->kind)] + " " +
                     std::to_string(mouse->x) + "," + std::to_string(mouse->y));
    }
    if (const auto* text = std::get_if<screen::TextEvent>(&event)) {
        std::u32string shown = U"Text ";
        for (const char32_t ch : text->text) {
            shown += ch == U'\n'   ? std::u32string(U"\\n")
                     : ch == U'\t' ? U"\\t"
                                   : std::u32string(1, ch);
        }
        return shown;
    }
    if (const auto* resize = std::get_if<screen::ResizeEvent>(&event)) {
        return Widen("Resize " + std::to_string(resize->width) + "x" +
                     std::to_string(resize->height));
    }
    return U"Quit";
}

void Frame(screen::Grid& grid, int x, int y, int w, int h) {
    using namespace screen::glyph;
    for (int i = x + 1; i < x + w - 1; ++i) {
        grid.put(i, y, std::u32string(1, Horizontal), screen::Role::Window);
        grid.put(i, y + h - 1, std::u32string(1, Horizontal), screen::Role::Window);
    }
    for (int j = y + 1; j < y + h - 1; ++j) {
        grid.put(x, j, std::u32string(1, Vertical), screen::Role::Window);
        grid.put(x + w - 1, j, std::u32string(1, Vertical), screen::Role::Window);
    }
    grid.put(x, y, std::u32string(1, TopLeft), screen::Role::Window);
    grid.put(x + w - 1, y, std::u32string(1, TopRight), screen::Role::Window);
    grid.put(x, y + h - 1, std::u32string(1, BottomLeft), screen::Role::Window);
    grid.put(x + w - 1, y + h - 1, std::u32string(1, BottomRight), screen::Role::Window);
}

void Draw(screen::FrontEnd& front, screen::Grid& grid, const std::u32string& last) {
    grid.resize(front.width(), front.height());
    grid.fill(screen::Cell{U' ', screen::Role::Desktop});
    for (int y = 1; y < 7; ++y) {
        grid.put(2, y, std::u32string(40, U' '), screen::Role::Window);
    }
    Frame(grid, 2, 1, 40, 6);
    grid.put(4, 1, U" Probe ready ", screen::Role::Caption, screen::AttrBold);
    grid.put(4, 3, U"Last: " + last, screen::Role::Window);
    grid.put(4, 4, U"Field:", screen::Role::Window);
    grid.put(11, 4, std::u32string(10, U' '), screen::Role::FieldFocused);
    // An accent written as a combining mark, and a zero-width space.
    grid.put(4, 5, U"Marks: Cafe\u0301\u200B|", screen::Role::Window);
    grid.cursorX = 11;
    grid.cursorY = 4;
    grid.cursorVisible = true;
    front.present(grid);
}

// A write to a pipe whose reader is gone, as a port's write to a printer
// that closed its end: it should fail, not end the program.
std::u32string WriteToAClosedPipe() {
    int ends[2];
    if (pipe(ends) != 0) {
        return U"no pipe";
    }
    close(ends[0]);
    const bool failed = write(ends[1], "x", 1) < 0 && errno == EPIPE;
    close(ends[1]);
    return failed ? U"Write failed: broken pipe" : U"Write did not fail";
}

void CrashForReal() {
    // An unmapped address the compiler cannot see: a true fault, and not a
    // null pointer, which a sanitizer would report before the fault happens.
    volatile std::uintptr_t address = 8;
    *reinterpret_cast<volatile int*>(address) = 1;
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--pid-file") == 0) {
            std::ofstream(argv[i + 1]) << getpid() << '\n';
        }
    }
    screen::FrontEnd& front = screen::ActiveFrontEnd();
    screen::Grid grid;
    std::u32string last = U"(none)";
    for (;;) {
        Draw(front, grid, last);
        const screen::InputEvent event = front.waitEvent();
        if (std::holds_alternative<screen::QuitEvent>(event)) {
            return 0;
        }
        // Ctrl+C ends the probe, one more way out by a key (in the window
        // system it copies instead; the probe has no key table).
        if (const auto* key = std::get_if<screen::KeyEvent>(&event);
            key != nullptr && key->ctrl && key->key == screen::Key::Char && key->ch == U'c') {
            return 0;
        }
        if (const auto* key = std::get_if<screen::KeyEvent>(&event);
            key != nullptr && key->key == screen::Key::Char && !key->alt && !key->ctrl) {
            if (key->ch == U'q') {
                return 0;
            }
            if (key->ch == U'x') {
                CrashForReal();
            }
            if (key->ch == U'a') {
                std::abort();
            }
            if (key->ch == U'p') {
                last = WriteToAClosedPipe();
                continue;
            }
        }
        last = Describe(event);
    }
}
