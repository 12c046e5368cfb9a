// The drop-down combo box (CBS_DROPDOWN): an edit field, an arrow and a list
// that opens below it (F4, Alt+Down, a click on the arrow) as a pop-up window
// of its own (combo_list.h). Up/Down change the
// selection and send CBN_SELCHANGE; every pick from the open list (Enter, a
// click) sends CBN_SELCHANGE, even of the entry already selected; typing into
// the field leaves the list with no selection (-1) and sends CBN_EDITCHANGE,
// never CBN_SELCHANGE; selecting by message sends nothing.
#pragma once

#include "platform/user32/controls/edit.h"
#include "platform/user32/core/window.h"

#include <string>
#include <vector>

namespace user32 {

class ComboBox : public Window {
public:
    static constexpr WindowKind kKind{"ComboBox"};
    ComboBox();

    bool sorted() const { return (style() & CBS_SORT) != 0; }
    // CBS_DROPDOWNLIST: the field only shows the selection; a letter picks
    // the next entry that starts with it.
    bool listOnly() const { return (style() & 0x3) == CBS_DROPDOWNLIST; }
    bool focusable() const override { return true; }
    int count() const { return static_cast<int>(items_.size()); }
    int selection() const { return selection_; }
    const std::vector<std::u16string>& items() const { return items_; }
    bool dropped() const { return dropped_; }
    // Rows the open list may use: from the template's height or
    // CB_SETMINVISIBLE, at least 1.
    int listRows = 8;

    std::u16string text() const override { return field_.text(); }
    void setText(std::u16string_view text) override;

    LRESULT message(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void paint(Painter& painter, bool focused) const override;
    bool key(const screen::KeyEvent& ev) override;
    void typeText(std::u32string_view text) override;
    void mouse(const screen::MouseEvent& ev, int x, int y) override;
    void focusChanged(bool gained) override;
    void enabledChanged() override;
    void moved() override;

    void open();
    void close();
    // The open list in screen cells (empty when closed).
    CellRect listRect() const;
    // Keeps the open list's window where the list is.
    void placeList();
    // Draws the open list; the painter covers listRect().
    void paintList(Painter& painter) const;
    // A mouse event on the open list, at screen cell (x, y).
    void listMouse(const screen::MouseEvent& ev, int x, int y);

private:
    LRESULT answer(UINT msg, WPARAM wParam, LPARAM lParam);
    // Keys the combo box keeps from the dialog (every list key while open).
    bool claimsKey(const screen::KeyEvent& ev) const;
    void setSelection(int index, bool notify);
    // The user took entry index from the open list.
    void pick(int index);
    int findPrefix(int start, std::u16string_view prefix) const;
    int findExact(int start, std::u16string_view s) const;
    int insertItem(int index, std::u16string s);
    int visibleRows() const;
    void showHot();

    Edit field_;
    std::vector<std::u16string> items_;
    int selection_ = -1;
    bool dropped_ = false;
    int hot_ = -1;        // the highlighted entry while the list is open
    int listTop_ = 0;     // the first entry shown
    HWND list_ = nullptr; // the list's pop-up window, made when first opened
};

// Case-insensitive comparison used for sorting and searching entries.
int CompareNoCase(std::u16string_view a, std::u16string_view b);

} // namespace user32
