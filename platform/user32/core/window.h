// A window of the window system: the state every window has (handle, parent,
// owner, id, style, text, place in cells) and the hooks a window class
// overrides to answer messages, draw itself and take keys and clicks. The
// core knows no class: each one brings its own kind tag and registers itself
// by name (window_class.h).
#pragma once

#include "platform/screen/input.h"
#include "platform/user32/core/painter.h"
#include "platform/win32/user.h"

#include <string>
#include <string_view>
#include <vector>

namespace user32 {

// Tells the C++ classes of windows apart: each class holds one as its kKind,
// and a window is of that class when it carries that very tag.
struct WindowKind {
    const char* name;
};

class Window {
public:
    explicit Window(const WindowKind& kind) : kind_(&kind) {}
    virtual ~Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    const WindowKind* kind() const { return kind_; }

    // The handle, the parent and the children are the system's to set: it
    // links a window into the tree when it adopts it and unlinks it when it
    // destroys it.
    HWND hwnd() const { return hwnd_; }
    Window* parent() const { return parent_; }
    // In creation (template) order; owned by the system.
    const std::vector<Window*>& children() const { return children_; }

    // A top-level window's owner (a dialog's, a dropped list's): destroyed
    // with it, and what GetParent answers for it.
    HWND owner() const { return owner_; }
    void setOwner(HWND owner) { owner_ = owner; }
    int id() const { return id_; }
    void setId(int id) { id_ = id; }
    DWORD style() const { return style_; }
    void setStyle(DWORD style) { style_ = style; }
    // Sets (on) or clears the style bits in mask, leaving the others.
    void setStyleBits(DWORD mask, bool on) { style_ = on ? (style_ | mask) : (style_ & ~mask); }
    DWORD exStyle() const { return exStyle_; }
    void setExStyle(DWORD exStyle) { exStyle_ = exStyle; }

    // Place in cells, relative to the parent's client area (a top-level
    // window: relative to the screen).
    const CellRect& rect() const { return rect_; }
    // Sets the place without telling the window: a window being built is
    // told once it is whole, through moved().
    void setRect(const CellRect& rect) { rect_ = rect; }
    // Sets the place and tells the window (moved()).
    void moveTo(const CellRect& rect) {
        rect_ = rect;
        moved();
    }

    bool visible() const { return (style_ & WS_VISIBLE) != 0; }
    bool enabled() const { return (style_ & WS_DISABLED) == 0; }
    // Whether this kind of window can hold the keyboard focus at all; the
    // dialog manager also asks for visible and enabled.
    virtual bool focusable() const { return false; }
    // Visible and enabled up to the top-level window.
    bool reachable() const;

    // The client area, relative to the window's own top-left cell.
    virtual CellRect clientRect() const { return CellRect{0, 0, rect_.w, rect_.h}; }
    // The window's rectangle in screen cells.
    CellRect screenRect() const;
    // The top-level window (dialog) that holds this one.
    Window* topLevel();

    virtual std::u16string text() const { return text_; }
    virtual void setText(std::u16string_view text) { text_ = text; }

    // The window procedure: answers a message sent with SendMessageW.
    virtual LRESULT message(UINT msg, WPARAM wParam, LPARAM lParam);

    virtual void paint(Painter& painter, bool focused) const;
    // Answers whether the key was used.
    virtual bool key(const screen::KeyEvent&) { return false; }
    // Pasted text, as typed characters (line breaks are '\n'). Controls that
    // take no text ignore it: a paste never presses or moves anything.
    virtual void typeText(std::u32string_view) {}
    // A mouse event at (x, y) relative to the window's top-left cell.
    virtual void mouse(const screen::MouseEvent&, int, int) {}
    // A pop-up window holds the mouse while it is shown: it sees every mouse
    // event first, at screen cell (x, y), and answers whether it used it.
    virtual bool captureMouse(const screen::MouseEvent&, int /*x*/, int /*y*/) { return false; }
    virtual void focusChanged(bool /*gained*/) {}
    // SetFocus on this window puts the focus here (a dialog: on a control).
    virtual Window* focusTarget() { return this; }
    virtual void enabledChanged() {}
    // Called after the place (rect()) has been set or changed.
    virtual void moved() {}
    // A top-level window told of a new screen size.
    virtual void screenResized(int /*width*/, int /*height*/) {}
    // The smallest screen on which this top-level window shows whole (0 x 0:
    // it fits any).
    virtual CellRect neededScreen() const { return CellRect{}; }
    // Painted before its siblings (a group box frames the controls over it).
    virtual bool paintsUnderSiblings() const { return false; }

    // WM_COMMAND to the parent with this control's id, code and handle.
    void notifyParent(UINT code);

protected:
    std::u16string text_;

private:
    friend class System;

    const WindowKind* kind_;
    HWND hwnd_ = nullptr;
    Window* parent_ = nullptr;
    HWND owner_ = nullptr;
    std::vector<Window*> children_;
    int id_ = 0;
    DWORD style_ = 0;
    DWORD exStyle_ = 0;
    CellRect rect_;
};

// The window as the class of its kind, or nullptr when it is of another kind:
// windows are told apart by their kind alone.
template <class T> T* As(Window* w) {
    return w != nullptr && w->kind() == &T::kKind ? static_cast<T*>(w) : nullptr;
}

} // namespace user32
