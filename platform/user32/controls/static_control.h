// Static text (left-aligned, wrapped at word boundaries when it has several
// rows) and the group box that frames a set of controls with its title.
#pragma once

#include "platform/user32/core/window.h"

#include <string>
#include <vector>

namespace user32 {

class StaticControl : public Window {
public:
    static constexpr WindowKind kKind{"Static"};
    StaticControl() : Window(kKind) {}
    LRESULT message(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void paint(Painter& painter, bool focused) const override;
};

class GroupBox : public Window {
public:
    static constexpr WindowKind kKind{"GroupBox"};
    GroupBox() : Window(kKind) {}
    LRESULT message(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void paint(Painter& painter, bool focused) const override;
    bool paintsUnderSiblings() const override { return true; }
};

// Splits text into rows of at most width cells, breaking at spaces where it
// can and at every line break.
std::vector<std::u32string> WrapText(const std::u32string& text, int width);

// Draws label from (x, y) in at most width cells with its mnemonic underlined;
// answers the cells used.
int PaintLabel(Painter& painter, int x, int y, int width, std::u16string_view raw,
               screen::Role role, std::uint8_t attrs);

} // namespace user32
