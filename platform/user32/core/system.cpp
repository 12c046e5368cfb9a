#include "platform/user32/core/system.h"

#include "platform/text/unicode.h"
#include "platform/user32/core/busy_report.h"

#include <algorithm>
#include <string>

namespace user32 {
namespace {

// A handle is a tagged slot number with the slot's generation, so that a
// handle of a destroyed window (or any pointer that is not a handle at all)
// finds no window instead of a wrong one.
constexpr std::uintptr_t kTag = 1u << 28;
constexpr std::uint32_t kGenerationMask = 0xFFF;

HWND Encode(std::size_t index, std::uint32_t generation) {
    const std::uintptr_t v =
        kTag | (std::uintptr_t(generation & kGenerationMask) << 16) | (index + 1);
    return reinterpret_cast<HWND>(v);
}

class DesktopWindow : public Window {
public:
    static constexpr WindowKind kKind{"Desktop"};
    DesktopWindow() : Window(kKind) { setStyle(WS_VISIBLE); }
};

} // namespace

System& System::get() {
    static System system;
    return system;
}

System::System() {
    desktop_ = adopt(std::make_unique<DesktopWindow>(), nullptr);
    WatchBusyCalls();
}

Window* System::adopt(std::unique_ptr<Window> w, Window* parent) {
    std::size_t index = 0;
    if (!freeSlots_.empty()) {
        index = freeSlots_.back();
        freeSlots_.pop_back();
    } else {
        index = slots_.size();
        slots_.emplace_back();
    }
    Slot& slot = slots_[index];
    slot.window = std::move(w);
    Window* raw = slot.window.get();
    raw->hwnd_ = Encode(index, slot.generation);
    raw->parent_ = parent;
    if (parent != nullptr) {
        parent->children_.push_back(raw);
    }
    return raw;
}

void System::destroy(Window* w) {
    if (w == nullptr || w == desktop_) {
        return;
    }
    while (!w->children().empty()) {
        destroy(w->children().back());
    }
    for (bool found = true; found;) {
        found = false;
        for (Window* top : desktop_->children()) {
            if (top->owner() == w->hwnd()) {
                destroy(top);
                found = true;
                break;
            }
        }
    }
    if (focus_ == w) {
        focus_ = nullptr;
    }
    popups_.erase(std::remove(popups_.begin(), popups_.end(), w), popups_.end());
    if (w->parent() != nullptr) {
        auto& siblings = w->parent_->children_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), w), siblings.end());
    }
    const auto v = reinterpret_cast<std::uintptr_t>(w->hwnd());
    const std::size_t index = (v & 0xFFFF) - 1;
    Slot& slot = slots_[index];
    slot.window.reset();
    slot.generation = (slot.generation + 1) & kGenerationMask;
    freeSlots_.push_back(index);
}

Window* System::find(HWND hwnd) const {
    const auto v = reinterpret_cast<std::uintptr_t>(hwnd);
    if ((v >> 28) != 1 || (v & 0xFFFF) == 0) {
        return nullptr;
    }
    const std::size_t index = (v & 0xFFFF) - 1;
    if (index >= slots_.size()) {
        return nullptr;
    }
    const Slot& slot = slots_[index];
    if (!slot.window || slot.generation != ((v >> 16) & kGenerationMask)) {
        return nullptr;
    }
    return slot.window.get();
}

Window* System::setFocus(Window* w) {
    Window* previous = focus_;
    if (w == previous) {
        return previous;
    }
    focus_ = w;
    if (w != nullptr && focusToRestore_ != nullptr) {
        // A control chosen in the same dialog replaces the one to restore;
        // a message box shown meanwhile does not.
        Window* keeper = find(focusToRestore_);
        if (keeper == nullptr || keeper->topLevel() == w->topLevel()) {
            focusToRestore_ = nullptr;
        }
    }
    if (previous != nullptr) {
        previous->focusChanged(false);
    }
    if (w != nullptr) {
        w->focusChanged(true);
    }
    return previous;
}

void System::showPopup(Window* w) {
    hidePopup(w);
    w->setStyleBits(WS_VISIBLE, true);
    popups_.push_back(w);
}

void System::hidePopup(Window* w) {
    w->setStyleBits(WS_VISIBLE, false);
    popups_.erase(std::remove(popups_.begin(), popups_.end(), w), popups_.end());
}

void System::cancelPopups() {
    // A pop-up may hide (or destroy) itself and others as it goes.
    const std::vector<Window*> shown = popups_;
    for (Window* w : shown) {
        if (std::find(popups_.begin(), popups_.end(), w) != popups_.end()) {
            w->message(WM_CANCELMODE, 0, 0);
        }
    }
}

screen::FrontEnd& System::frontEnd() {
    if (frontEnd_ == nullptr) {
        frontEnd_ = &screen::ActiveFrontEnd();
    }
    return *frontEnd_;
}

namespace {

void PaintTree(screen::Grid& grid, const Window* w, CellRect clip, const Window* focus) {
    if (!w->visible()) {
        return;
    }
    const CellRect sr = w->screenRect();
    Painter painter(grid, sr.x, sr.y, clip.intersect(sr));
    w->paint(painter, w == focus);
    const CellRect client = w->clientRect();
    const CellRect clientScreen{sr.x + client.x, sr.y + client.y, client.w, client.h};
    const CellRect childClip = clip.intersect(sr).intersect(clientScreen);
    for (const Window* c : w->children()) {
        if (c->paintsUnderSiblings()) {
            PaintTree(grid, c, childClip, focus);
        }
    }
    for (const Window* c : w->children()) {
        if (!c->paintsUnderSiblings()) {
            PaintTree(grid, c, childClip, focus);
        }
    }
}

// A screen too small for a window would show a clipped window with controls
// missing, which reads as a broken program. Say what is wrong instead; keys
// still reach the window, and it shows again when the screen grows.
bool PaintTooSmallNotice(screen::Grid& grid, const std::vector<Window*>& modal) {
    int needW = 0, needH = 0;
    for (const Window* d : modal) {
        const CellRect need = d->neededScreen();
        needW = std::max(needW, need.w);
        needH = std::max(needH, need.h);
    }
    const int w = grid.width(), h = grid.height();
    if (w >= needW && h >= needH) {
        return false;
    }
    const std::u32string notice = text::Utf16ToUtf32(
        text::Utf8ToUtf16("Tallyroll needs a terminal of at least " + std::to_string(needW) +
                          " x " + std::to_string(needH) + " (this one is " + std::to_string(w) +
                          " x " + std::to_string(h) + "). Enlarge it to see the form."));
    Painter painter(grid, 0, 0, CellRect{0, 0, w, h});
    // Word-wrapped into the lines available, from the top.
    std::size_t at = 0;
    for (int y = 0; y < h && at < notice.size() && w > 0; ++y) {
        std::size_t end = std::min(notice.size(), at + static_cast<std::size_t>(w));
        if (end < notice.size()) {
            const std::size_t space = notice.rfind(U' ', end);
            if (space != std::u32string::npos && space > at) {
                end = space;
            }
        }
        painter.text(0, y, std::u32string_view(notice).substr(at, end - at), screen::Role::Window);
        at = end;
        while (at < notice.size() && notice[at] == U' ') {
            ++at;
        }
    }
    return true;
}

} // namespace

void System::paintAll() {
    const int w = screenWidth(), h = screenHeight();
    if (grid_.width() != w || grid_.height() != h) {
        grid_.resize(w, h);
    }
    desktop_->setRect(CellRect{0, 0, w, h});
    grid_.fill(screen::Cell{U' ', screen::Role::Desktop, 0});
    grid_.cursorVisible = false;
    if (PaintTooSmallNotice(grid_, modal_)) {
        return;
    }
    const CellRect all{0, 0, w, h};
    for (const Window* d : modal_) {
        PaintTree(grid_, d, all, focus_);
    }
    for (const Window* p : popups_) {
        PaintTree(grid_, p, all, focus_);
    }
    if (!hint_.empty()) {
        DrawBusyLine(grid_, hint_);
    }
}

void System::present() {
    paintAll();
    frontEnd().present(grid_);
}

} // namespace user32
