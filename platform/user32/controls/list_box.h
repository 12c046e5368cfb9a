// A list box: entries in a framed column, one selected, scrolled to keep the
// selection in view. Up/Down/PageUp/PageDown/Home/End and a typed letter
// move the selection (LBN_SELCHANGE to the parent); a click selects, a
// double click also sends LBN_DBLCLK; the wheel scrolls.
#pragma once

#include "platform/user32/core/window.h"

#include <string>
#include <vector>

namespace user32 {

class ListBox : public Window {
public:
    static constexpr WindowKind kKind{"ListBox"};
    ListBox() : Window(kKind) {}

    bool focusable() const override { return true; }
    int count() const { return static_cast<int>(items_.size()); }
    int selection() const { return selection_; }
    const std::u16string& item(int i) const { return items_[static_cast<std::size_t>(i)]; }

    LRESULT message(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void paint(Painter& painter, bool focused) const override;
    bool key(const screen::KeyEvent& ev) override;
    void mouse(const screen::MouseEvent& ev, int x, int y) override;

private:
    CellRect itemArea() const;
    void select(int index, bool notify);
    void scrollIntoView();

    std::vector<std::u16string> items_;
    int selection_ = -1;
    int top_ = 0;
};

} // namespace user32
