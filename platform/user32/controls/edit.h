// The edit control: single-line (scrolling sideways to keep the cursor in
// view) or multi-line (rows wrapped at the field's width, a vertical scroll
// bar, Enter inserting "\r\n" when the style asks for it), read-only or not,
// with a cursor, a selection and the editing keys of the key table.
//
// Only the visible rows are ever looked at: positions map to rows through the
// text's blocks and a scan of their own line (edit_rows.h), so keys and
// redraws cost the same for any amount of text. Lines end at "\r\n" and
// "\n", where the printer ends them; a lone "\r" shows as a mark in its line.
#pragma once

#include "platform/user32/controls/edit_rows.h"
#include "platform/user32/controls/text_model.h"
#include "platform/user32/core/key_table.h"
#include "platform/user32/core/window.h"

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace user32 {

class Edit : public Window {
public:
    static constexpr WindowKind kKind{"Edit"};
    Edit() : Window(kKind) {}

    bool multiLine() const { return (style() & ES_MULTILINE) != 0; }
    bool readOnly() const { return (style() & ES_READONLY) != 0; }
    bool focusable() const override { return true; }

    std::u16string text() const override { return model_.text(); }
    void setText(std::u16string_view text) override;
    const TextModel& model() const { return model_; }
    std::size_t caret() const { return caret_; }
    std::size_t anchor() const { return anchor_; }
    void select(std::size_t anchor, std::size_t caret);

    LRESULT message(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void paint(Painter& painter, bool focused) const override;
    // Keys the field keeps from the dialog (Enter in a multi-line edit,
    // Ctrl+C with a selection to copy).
    bool claimsKey(const screen::KeyEvent& ev) const;
    bool key(const screen::KeyEvent& ev) override;
    void typeText(std::u32string_view text) override;
    void mouse(const screen::MouseEvent& ev, int x, int y) override;

    // Called after every change the user makes (the combo box listens here).
    std::function<void()> onUserChange;
    // Where the text is drawn, relative to the control.
    CellRect textArea() const;

private:
    struct RowPos {
        std::size_t line = 0;
        std::size_t sub = 0; // row within the wrapped line
        bool operator==(const RowPos&) const = default;
    };
    std::size_t width() const;
    LineRows rowsOfLine(std::size_t line) const;
    std::size_t rowsOf(std::size_t line) const;
    std::size_t cellX(std::size_t pos) const;
    RowPos rowOf(std::size_t pos) const;
    bool nextRow(RowPos& r) const;
    bool previousRow(RowPos& r) const;
    std::size_t positionAt(RowPos r, std::size_t x) const;
    std::size_t clampToLine(std::size_t pos) const;
    bool hasScrollBar() const;
    bool bordered() const;

    void moveCaret(std::size_t pos, bool extend, bool keepGoal = false);
    void moveRows(long rows, bool extend);
    void insert(std::u16string_view s);
    void erase(std::size_t from, std::size_t to);
    // Edits that need memory answer false, with nothing changed, when there
    // is none; the user has then been told.
    bool replaceText(std::size_t from, std::size_t to, std::u16string_view with);
    bool copySelection(std::size_t from, std::size_t to);
    void reportNoRoom();
    void changed();
    void scrollIntoView();
    void scrollRows(long rows);

    // The keys, by what they do.
    Action keyAction(const screen::KeyEvent& ev) const;
    std::size_t characterBefore(std::size_t pos) const;
    std::size_t characterAfter(std::size_t pos) const;
    bool moveByKey(Action action, bool extend);
    bool selectByKey(Action action);
    bool deleteByKey(Action action);
    bool clipboardByKey(Action action);
    bool breakLineByKey(Action action);

    TextModel model_;
    std::size_t caret_ = 0;
    std::size_t anchor_ = 0;
    std::size_t goalX_ = 0;   // the cell column Up and Down keep to
    RowPos top_;              // multi-line: the first visible row
    std::size_t scrollX_ = 0; // single-line: the first visible unit
    // The lines laid out since the last edit, so that a key and its redraw
    // copy and scan each line they look at once.
    mutable std::uint64_t linesRevision_ = 0;
    mutable std::vector<std::pair<std::size_t, LineRows>> lines_;
};

} // namespace user32
