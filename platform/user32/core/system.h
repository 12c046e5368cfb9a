// The state of the window system: the handle table, the focus, the z-order
// (modal windows, then pop-ups above them), the grid and the front end it is
// shown on. One per process,
// created on first use; everything runs on the one user-interface thread.
#pragma once

#include "platform/screen/front_end.h"
#include "platform/screen/grid.h"
#include "platform/user32/core/window.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace user32 {

class System {
public:
    static System& get();

    // Takes ownership of w, gives it a handle and links it under parent.
    Window* adopt(std::unique_ptr<Window> w, Window* parent);
    // Destroys w, its children and the windows it owns; their handles
    // become stale.
    void destroy(Window* w);
    // The window behind a handle, or nullptr for a stale or foreign handle.
    Window* find(HWND hwnd) const;
    Window* desktop() { return desktop_; }

    Window* focus() const { return focus_; }
    // Moves the focus (nullptr: none); answers the previous holder.
    Window* setFocus(Window* w);

    // The modal windows, innermost last; input goes only to the innermost.
    std::vector<Window*>& modalStack() { return modal_; }

    // Pop-up windows (a dropped-down list) stay above the modal windows and
    // hold the mouse while shown; the last shown is on top.
    void showPopup(Window* w);
    void hidePopup(Window* w);
    const std::vector<Window*>& popups() const { return popups_; }
    // Tells every shown pop-up to go away (WM_CANCELMODE), as a new modal
    // window or a new screen size does.
    void cancelPopups();

    // The control that lost the focus because it was disabled; it takes the
    // focus back when enabled while no control has it.
    HWND focusToRestore() const { return focusToRestore_; }
    void setFocusToRestore(HWND hwnd) { focusToRestore_ = hwnd; }

    // Set by QuitEvent: every open modal loop ends with IDCANCEL.
    bool quitting() const { return quitting_; }
    void setQuitting(bool value) { quitting_ = value; }

    // A short word to the user on the bottom line, until the next input.
    const std::u16string& hint() const { return hint_; }
    void setHint(std::u16string text) { hint_ = std::move(text); }

    // A paste was dropped during a wait: the rest of it, arriving after the
    // wait, is dropped too.
    bool droppingPaste() const { return droppingPaste_; }
    void setDroppingPaste(bool dropping) { droppingPaste_ = dropping; }

    screen::FrontEnd& frontEnd();
    screen::Grid& grid() { return grid_; }
    int screenWidth() { return frontEnd().width(); }
    int screenHeight() { return frontEnd().height(); }

    // Draws every window into the grid and hands it to the front end.
    void present();
    // Draws without presenting (for tests and benchmarks).
    void paintAll();

private:
    System();
    struct Slot {
        std::unique_ptr<Window> window;
        std::uint32_t generation = 0;
    };
    std::vector<Slot> slots_;
    std::vector<std::size_t> freeSlots_;
    Window* desktop_ = nullptr;
    Window* focus_ = nullptr;
    std::vector<Window*> modal_;
    std::vector<Window*> popups_;
    screen::FrontEnd* frontEnd_ = nullptr;
    screen::Grid grid_;
    HWND focusToRestore_ = nullptr;
    bool quitting_ = false;
    std::u16string hint_;
    bool droppingPaste_ = false;
};

} // namespace user32
