// A window of the window system: the state every window has (handle, parent,
// id, style, text, place in cells) and the hooks a kind of window overrides to
// answer messages, draw itself and take keys and clicks.
#pragma once

#include "platform/screen/input.h"
#include "platform/win32/user.h"
#include "platform/windows/core/painter.h"

#include <string>
#include <string_view>
#include <vector>

namespace windows {

enum class WindowKind {
    Desktop,
    Dialog,
    Static,
    GroupBox,
    PushButton,
    CheckBox,
    Edit,
    ComboBox,
    ListBox,
};

class Window {
public:
    explicit Window(WindowKind kind) : kind_(kind) {}
    virtual ~Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    WindowKind kind() const { return kind_; }
    HWND hwnd = nullptr;
    Window* parent = nullptr;
    std::vector<Window*> children; // in creation (template) order; owned by the system
    int id = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    // Place in cells, relative to the parent's client area (a top-level
    // window: relative to the screen).
    CellRect rect;

    bool visible() const { return (style & WS_VISIBLE) != 0; }
    bool enabled() const { return (style & WS_DISABLED) == 0; }
    // Whether this kind of window can hold the keyboard focus at all; the
    // dialog manager also asks for visible and enabled.
    virtual bool focusable() const { return false; }
    // Visible and enabled up to the top-level window.
    bool reachable() const;

    // The client area, relative to the window's own top-left cell.
    virtual CellRect clientRect() const { return CellRect{0, 0, rect.w, rect.h}; }
    // The window's rectangle in screen cells.
    CellRect screenRect() const;
    // The top-level window (dialog) that holds this one.
    Window* topLevel();

    virtual std::u16string text() const { return text_; }
    virtual void setText(std::u16string_view text) { text_ = text; }

    // The window procedure: answers a message sent with SendMessageW.
    virtual LRESULT message(UINT msg, WPARAM wParam, LPARAM lParam);

    virtual void paint(Painter& painter, bool focused) const;
    // Keys the control wants before the dialog manager sees them (Enter in a
    // multi-line edit, every key while a combo list is open).
    virtual bool claimsKey(const screen::KeyEvent&) const { return false; }
    // Answers whether the key was used.
    virtual bool key(const screen::KeyEvent&) { return false; }
    // Pasted text, as typed characters (line breaks are '\n'). Controls that
    // take no text ignore it: a paste never presses or moves anything.
    virtual void typeText(std::u32string_view) {}
    // A mouse event at (x, y) relative to the window's top-left cell.
    virtual void mouse(const screen::MouseEvent&, int, int) {}
    virtual void focusChanged(bool /*gained*/) {}
    // Called when tabbing into the control: edit fields select their text.
    virtual void selectAllOnTab() {}
    virtual void enabledChanged() {}
    // Called after rect has been set or changed.
    virtual void moved() {}

    // WM_COMMAND to the parent with this control's id, code and handle.
    void notifyParent(UINT code);

protected:
    std::u16string text_;

private:
    WindowKind kind_;
};

// The window as the class of its kind, or nullptr when it is of another kind:
// windows are told apart by their kind alone.
template <class T>
T* As(Window* w) {
    return w != nullptr && w->kind() == T::kKind ? static_cast<T*>(w) : nullptr;
}

} // namespace windows
