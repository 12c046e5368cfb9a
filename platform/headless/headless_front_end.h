// The headless front end: a screen of a fixed size (80 x 24 unless set) that
// keeps the last presented grid for a test to read as text, and a queue of
// injected events (keys, typed or pasted text, clicks at cells, resizes).
//
// It never blocks. When the queue runs dry, the next scripted step runs (a
// test's chance to look at the screen and inject more); when no step is left
// and nothing is queued, it answers QuitEvent, which ends every modal loop.
#pragma once

#include "platform/screen/front_end.h"

#include <deque>
#include <functional>
#include <string>
#include <string_view>

namespace headless {

class HeadlessFrontEnd : public screen::FrontEnd {
public:
    using Step = std::function<void(HeadlessFrontEnd&)>;

    int width() const override { return width_; }
    int height() const override { return height_; }
    void present(const screen::Grid& grid) override;
    screen::InputEvent waitEvent() override;
    // Takes what is queued (steps are not run); a QuitEvent is a stop.
    screen::BusyInput takeBusyInput() override;

    // Clears the queue, the steps and the screen, and sets the size.
    void reset(int width = 80, int height = 24);

    // Input.
    void push(screen::InputEvent ev);
    void key(screen::Key k, bool shift = false, bool ctrl = false, bool alt = false);
    void ch(char32_t c, bool ctrl = false, bool alt = false);
    void type(std::string_view utf8); // one Char key per character
    // One piece of a bracketed paste (continues: not its first piece).
    void paste(std::string_view utf8, bool continues = false);
    void click(int x, int y); // a press and a release at the cell
    void wheel(int x, int y, bool up);
    void resize(int width, int height);

    // Steps, run one at a time whenever the queue is empty.
    void then(Step step);

    // Output: the last presented grid.
    const screen::Grid& screen() const { return grid_; }
    std::string text() const { return grid_.text(); }
    std::string row(int y) const { return grid_.rowText(y); }
    // The rows [y, y + count) cut to columns [x, x + width), joined by '\n'
    // (each cell's marks after its character, as in Grid::rowText).
    std::string region(int x, int y, int width, int count) const;
    // The first cell (x, y) where text starts, or false.
    bool find(std::string_view utf8, int& x, int& y) const;

private:
    int width_ = 80;
    int height_ = 24;
    std::deque<screen::InputEvent> queue_;
    std::deque<Step> steps_;
    screen::Grid grid_;
};

// The front end behind screen::ActiveFrontEnd() in programs that link the
// headless library.
HeadlessFrontEnd& Screen();

} // namespace headless
