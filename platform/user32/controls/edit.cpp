#include "platform/user32/controls/edit.h"

#include "platform/screen/box_chars.h"
#include "platform/screen/char_width.h"
#include "platform/text/unicode.h"
#include "platform/user32/core/key_table.h"
#include "platform/win32/codepage.h"

#include <algorithm>
#include <new>

namespace user32 {
namespace {

// The edit controls' shared clipboard (the window system's only one).
std::u16string& Clipboard() {
    static std::u16string clip;
    return clip;
}

// A combining mark or joiner: it belongs to the character before it, so the
// cursor never stops between the two.
bool JoinsTheCharacterBefore(const TextModel& t, std::size_t p) {
    return p > 0 && p < t.size() && screen::CharWidth(t.at(p)) == 0;
}

// What a unit of text shows as in a field. A lone "\r" (one before "\n" is
// part of the line break and never drawn) has a mark of its own, so that a
// line the printer prints whole shows whole.
char32_t Shown(char16_t c) {
    if (c == u'\t') {
        return U' ';
    }
    if (c == u'\r') {
        return screen::glyph::CarriageReturn;
    }
    if (c < 0x20 || c == 0x7F) {
        return screen::glyph::Hidden;
    }
    return c;
}

// The units a single-line field looks at from `from` on: as many as a
// row of width cells can show (every unit takes a cell, but the second
// half of a surrogate pair), and one more.
std::size_t RowSpan(std::size_t width) {
    return 2 * width + 2;
}

} // namespace

void Edit::reportNoRoom() {
    // As a Win32 edit control does, the parent hears of it (EN_ERRSPACE); the
    // user is told here, since no form of ours answers that notification.
    notifyParent(EN_ERRSPACE);
    MessageBoxW(parent() != nullptr ? parent()->hwnd() : nullptr,
                u"Not enough memory for this edit: the text is as it was.", u"Error",
                MB_OK | MB_ICONERROR);
}

bool Edit::replaceText(std::size_t from, std::size_t to, std::u16string_view with) {
    // The model changes whole or not at all, so a failure leaves text,
    // cursor and selection as they were.
    try {
        model_.replace(from, to - from, with);
        return true;
    } catch (const std::bad_alloc&) {
        reportNoRoom();
        return false;
    }
}

bool Edit::copySelection(std::size_t from, std::size_t to) {
    try {
        Clipboard() = model_.units(from, to);
        return true;
    } catch (const std::bad_alloc&) {
        reportNoRoom();
        return false;
    }
}

void Edit::setText(std::u16string_view text) {
    lines_.clear();
    model_.setText(text);
    caret_ = anchor_ = goalX_ = 0;
    top_ = RowPos{};
    scrollX_ = 0;
}

bool Edit::bordered() const {
    return (style() & WS_BORDER) != 0 && rect().h >= 3 && rect().w >= 3;
}

bool Edit::hasScrollBar() const {
    return multiLine() && (style() & WS_VSCROLL) != 0 && rect().h >= 2;
}

CellRect Edit::textArea() const {
    CellRect a{0, 0, rect().w, rect().h};
    if (bordered()) {
        a = CellRect{1, 1, rect().w - 2, rect().h - 2};
    } else if (hasScrollBar()) {
        a.w -= 1; // the scroll bar takes the last column
    }
    if (!multiLine()) {
        a.h = std::min(a.h, 1);
    }
    a.w = std::max(a.w, 1);
    a.h = std::max(a.h, 1);
    return a;
}

std::size_t Edit::width() const {
    return static_cast<std::size_t>(textArea().w);
}

LineRows Edit::rowsOfLine(std::size_t line) const {
    if (linesRevision_ != model_.revision() || lines_.size() >= 64) {
        lines_.clear();
        linesRevision_ = model_.revision();
    }
    for (const auto& [number, rows] : lines_) {
        if (number == line && rows.width() == std::max<std::size_t>(1, width())) {
            return rows;
        }
    }
    const std::size_t start = model_.lineStart(line);
    const std::size_t length = model_.lineLength(line);
    // A line too long to scan is cut by units and needs no copy.
    auto units = length <= LineRows::kScanLimit
                     ? std::make_shared<const std::u16string>(model_.units(start, start + length))
                     : nullptr;
    lines_.emplace_back(line, LineRows(std::move(units), start, length, width()));
    return lines_.back().second;
}

std::size_t Edit::rowsOf(std::size_t line) const {
    return rowsOfLine(line).rows();
}

Edit::RowPos Edit::rowOf(std::size_t pos) const {
    const std::size_t line = model_.lineOf(pos);
    return RowPos{line, rowsOfLine(line).locate(pos).row};
}

// The cell column of pos in its row.
std::size_t Edit::cellX(std::size_t pos) const {
    return rowsOfLine(model_.lineOf(pos)).locate(pos).x;
}

bool Edit::nextRow(RowPos& r) const {
    if (r.sub + 1 < rowsOf(r.line)) {
        ++r.sub;
        return true;
    }
    if (r.line + 1 < model_.lineCount()) {
        ++r.line;
        r.sub = 0;
        return true;
    }
    return false;
}

bool Edit::previousRow(RowPos& r) const {
    if (r.sub > 0) {
        --r.sub;
        return true;
    }
    if (r.line > 0) {
        --r.line;
        r.sub = rowsOf(r.line) - 1;
        return true;
    }
    return false;
}

std::size_t Edit::positionAt(RowPos r, std::size_t x) const {
    return clampToLine(rowsOfLine(r.line).positionAt(r.sub, x));
}

std::size_t Edit::clampToLine(std::size_t pos) const {
    pos = std::min(pos, model_.size());
    const std::size_t line = model_.lineOf(pos);
    pos = std::min(pos, model_.lineStart(line) + model_.lineLength(line));
    // Never between the halves of a surrogate pair.
    if (pos > 0 && pos < model_.size() && IS_SURROGATE_PAIR(model_.at(pos - 1), model_.at(pos))) {
        --pos;
    }
    return pos;
}

void Edit::select(std::size_t anchor, std::size_t caret) {
    const std::size_t n = model_.size();
    anchor_ = multiLine() ? clampToLine(std::min(anchor, n)) : std::min(anchor, n);
    caret_ = multiLine() ? clampToLine(std::min(caret, n)) : std::min(caret, n);
    goalX_ = multiLine() ? cellX(caret_) : 0;
    scrollIntoView();
}

void Edit::moveCaret(std::size_t pos, bool extend, bool keepGoal) {
    caret_ = pos;
    if (!extend) {
        anchor_ = pos;
    }
    if (!keepGoal && multiLine()) {
        goalX_ = cellX(caret_);
    }
    scrollIntoView();
}

void Edit::moveRows(long rows, bool extend) {
    RowPos r = rowOf(caret_);
    for (long i = 0; i < std::abs(rows); ++i) {
        if (!(rows < 0 ? previousRow(r) : nextRow(r))) {
            break;
        }
    }
    moveCaret(positionAt(r, goalX_), extend, true);
}

void Edit::scrollIntoView() {
    if (!multiLine()) {
        // Keep the cursor's cell (and the character under it) in view.
        const std::size_t w = width();
        if (caret_ < scrollX_) {
            scrollX_ = caret_;
        } else if (caret_ - scrollX_ > 2 * w) {
            scrollX_ = caret_ - w; // a long jump: start near, then fit exactly
        }
        // The units from scrollX_ to the cursor's character, and the unit
        // before scrollX_ (whether it starts a pair).
        const std::size_t from = scrollX_ > 0 ? scrollX_ - 1 : 0;
        const std::u16string t = model_.units(from, caret_ + 2);
        const auto cells = [&](std::size_t a, std::size_t b) {
            return CellsOf(t, a - from, b - from);
        };
        const std::size_t under =
            caret_ < model_.size() ? std::max<std::size_t>(1, cells(caret_, caret_ + 1)) : 1;
        while (scrollX_ < caret_ && cells(scrollX_, caret_) + under > w) {
            ++scrollX_;
        }
        if (scrollX_ > 0 && scrollX_ < model_.size() &&
            IS_SURROGATE_PAIR(model_.at(scrollX_ - 1), model_.at(scrollX_))) {
            ++scrollX_;
        }
        // Marks whose character scrolled away go with it.
        while (scrollX_ < caret_ && JoinsTheCharacterBefore(model_, scrollX_)) {
            ++scrollX_;
        }
        return;
    }
    const RowPos c = rowOf(caret_);
    if (c.line < top_.line || (c.line == top_.line && c.sub < top_.sub)) {
        top_ = c;
        return;
    }
    const auto visible = static_cast<std::size_t>(textArea().h);
    RowPos r = top_;
    std::size_t n = 0;
    while (!(r == c) && n < visible) {
        if (!nextRow(r)) {
            break;
        }
        ++n;
    }
    if (n >= visible) {
        r = c;
        for (std::size_t i = 0; i + 1 < visible; ++i) {
            previousRow(r);
        }
        top_ = r;
    }
}

void Edit::scrollRows(long rows) {
    const auto visible = static_cast<std::size_t>(textArea().h);
    for (long i = 0; i < std::abs(rows); ++i) {
        if (rows < 0) {
            if (!previousRow(top_)) {
                break;
            }
            continue;
        }
        // Stop once the last row is in view.
        RowPos probe = top_;
        std::size_t n = 0;
        while (n + 1 < visible && nextRow(probe)) {
            ++n;
        }
        if (n + 1 < visible || !nextRow(probe)) {
            break;
        }
        nextRow(top_);
    }
}

void Edit::changed() {
    if (onUserChange) {
        onUserChange();
    }
    notifyParent(EN_CHANGE);
}

void Edit::insert(std::u16string_view s) {
    if (readOnly()) {
        return;
    }
    const std::size_t from = std::min(caret_, anchor_), to = std::max(caret_, anchor_);
    if (!replaceText(from, to, s)) {
        return;
    }
    caret_ = anchor_ = from + s.size();
    if (multiLine()) {
        goalX_ = cellX(caret_);
    }
    scrollIntoView();
    changed();
}

void Edit::erase(std::size_t from, std::size_t to) {
    if (readOnly() || from >= to) {
        return;
    }
    if (!replaceText(from, to, {})) {
        return;
    }
    caret_ = anchor_ = from;
    if (multiLine()) {
        goalX_ = cellX(caret_);
    }
    scrollIntoView();
    changed();
}

bool Edit::claimsKey(const screen::KeyEvent& ev) const {
    // Ctrl+C is the dialog's key (it says how to quit) unless there is a
    // selection to copy.
    if (caret_ != anchor_ && LookupKey(KeyContext::Edit, ev) == Action::Copy) {
        return true;
    }
    return multiLine() && (style() & ES_WANTRETURN) != 0 && ev.key == screen::Key::Enter &&
           !ev.ctrl && !ev.alt;
}

// Pasted text is typed text: a multi-line edit takes its tabs and line
// breaks ("\r\n", as Enter types them); a single-line one takes what Ctrl+V
// would, the text up to the first line break. Other control characters
// cannot be typed and are left out.
void Edit::typeText(std::u32string_view text) {
    if (readOnly()) {
        return;
    }
    std::u32string typed;
    typed.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t ch = text[i];
        if (ch == U'\r' || ch == U'\n') {
            if (!multiLine()) {
                break;
            }
            if (ch == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') {
                ++i;
            }
            typed += U"\r\n";
        } else if (ch == U'\t' || (ch >= 0x20 && ch != 0x7F)) {
            typed += ch;
        }
    }
    if (!typed.empty()) {
        insert(text::Utf32ToUtf16(typed));
    }
}

// The key's action: a multi-line edit's own keys first (Enter only where
// the edit wants it), then those of every edit.
Action Edit::keyAction(const screen::KeyEvent& ev) const {
    Action action = Action::None;
    if (multiLine()) {
        action = LookupKey(KeyContext::MultiLine, ev);
        if (action == Action::NewLine && (style() & ES_WANTRETURN) == 0) {
            action = Action::None;
        }
    }
    return action != Action::None ? action : LookupKey(KeyContext::Edit, ev);
}

bool Edit::key(const screen::KeyEvent& ev) {
    const Action action = keyAction(ev);
    if (moveByKey(action, ev.shift) || selectByKey(action) || deleteByKey(action) ||
        clipboardByKey(action) || breakLineByKey(action)) {
        return true;
    }
    if (ev.key == screen::Key::Char && !ev.ctrl && !ev.alt && ev.ch >= 0x20 && ev.ch != 0x7F) {
        insert(text::Utf32ToUtf16(std::u32string(1, ev.ch)));
        return true;
    }
    return false;
}

// A character is its units (a surrogate pair) with the marks that join it:
// the caret never stops inside one, and never leaves the line it is on.
std::size_t Edit::characterBefore(std::size_t pos) const {
    const TextModel& t = model_;
    if (pos == 0) {
        return 0;
    }
    if (multiLine() && pos == model_.lineStart(model_.lineOf(pos))) {
        const std::size_t line = model_.lineOf(pos) - 1;
        return model_.lineStart(line) + model_.lineLength(line);
    }
    const std::size_t lineStart = multiLine() ? model_.lineStart(model_.lineOf(pos)) : 0;
    --pos;
    if (pos > 0 && IS_SURROGATE_PAIR(t.at(pos - 1), t.at(pos))) {
        --pos;
    }
    while (pos > lineStart && JoinsTheCharacterBefore(t, pos)) {
        --pos;
    }
    return pos;
}

std::size_t Edit::characterAfter(std::size_t pos) const {
    const TextModel& t = model_;
    if (multiLine()) {
        const std::size_t line = model_.lineOf(pos);
        if (pos >= model_.lineStart(line) + model_.lineLength(line)) {
            return line + 1 < model_.lineCount() ? model_.lineStart(line + 1) : pos;
        }
    } else if (pos >= t.size()) {
        return pos;
    }
    pos += pos + 1 < t.size() && IS_SURROGATE_PAIR(t.at(pos), t.at(pos + 1)) ? 2 : 1;
    while (JoinsTheCharacterBefore(t, pos)) {
        ++pos;
    }
    return pos;
}

// The caret keys; with Shift they stretch the selection. Left and Right
// without Shift first collapse a selection to its edge.
bool Edit::moveByKey(Action action, bool extend) {
    const TextModel& t = model_;
    const bool hasSel = caret_ != anchor_;
    switch (action) {
    case Action::CaretLeft:
        moveCaret(hasSel && !extend ? std::min(caret_, anchor_) : characterBefore(caret_), extend);
        return true;
    case Action::CaretRight:
        moveCaret(hasSel && !extend ? std::max(caret_, anchor_) : characterAfter(caret_), extend);
        return true;
    case Action::CaretUp:
        moveRows(-1, extend);
        return true;
    case Action::CaretDown:
        moveRows(1, extend);
        return true;
    case Action::PageUp:
    case Action::PageDown: {
        const long page = std::max(1, textArea().h - 1);
        moveRows(action == Action::PageUp ? -page : page, extend);
        return true;
    }
    case Action::LineStart:
        moveCaret(multiLine() ? model_.lineStart(model_.lineOf(caret_)) : 0, extend);
        return true;
    case Action::LineEnd: {
        if (!multiLine()) {
            moveCaret(t.size(), extend);
            return true;
        }
        const std::size_t line = model_.lineOf(caret_);
        moveCaret(model_.lineStart(line) + model_.lineLength(line), extend);
        return true;
    }
    case Action::TextStart:
        moveCaret(0, extend);
        return true;
    case Action::TextEnd:
        moveCaret(multiLine() ? clampToLine(t.size()) : t.size(), extend);
        return true;
    default:
        return false;
    }
}

bool Edit::selectByKey(Action action) {
    if (action != Action::SelectAll) {
        return false;
    }
    select(0, model_.size());
    return true;
}

// Backspace and Delete take the selection when there is one, else the
// character before or after the caret; a line break goes whole.
bool Edit::deleteByKey(Action action) {
    const TextModel& t = model_;
    const std::size_t selFrom = std::min(caret_, anchor_), selTo = std::max(caret_, anchor_);
    if (action != Action::DeleteBack && action != Action::DeleteForward) {
        return false;
    }
    if (selFrom != selTo) {
        erase(selFrom, selTo);
    } else if (action == Action::DeleteBack && caret_ > 0) {
        std::size_t from = caret_ - 1;
        if (multiLine() && caret_ == model_.lineStart(model_.lineOf(caret_))) {
            const std::size_t line = model_.lineOf(caret_) - 1;
            from = model_.lineStart(line) + model_.lineLength(line); // the whole line break
        } else if (from > 0 && IS_SURROGATE_PAIR(t.at(from - 1), t.at(from))) {
            --from;
        }
        erase(from, caret_);
    } else if (action == Action::DeleteForward && caret_ < t.size()) {
        std::size_t to = caret_ + 1;
        if (multiLine()) {
            const std::size_t line = model_.lineOf(caret_);
            if (caret_ >= model_.lineStart(line) + model_.lineLength(line)) {
                to = line + 1 < model_.lineCount() ? model_.lineStart(line + 1) : t.size();
            }
        }
        if (to < t.size() && IS_SURROGATE_PAIR(t.at(to - 1), t.at(to))) {
            ++to;
        }
        const bool lineBreak = t.at(caret_) == u'\r' || t.at(caret_) == u'\n';
        while (!lineBreak && JoinsTheCharacterBefore(t, to)) {
            ++to; // a character goes with its marks
        }
        erase(caret_, to);
    }
    return true;
}

bool Edit::clipboardByKey(Action action) {
    const std::size_t selFrom = std::min(caret_, anchor_), selTo = std::max(caret_, anchor_);
    const bool hasSel = selFrom != selTo;
    switch (action) {
    case Action::Copy:
        if (hasSel) {
            copySelection(selFrom, selTo);
        }
        return true;
    case Action::Cut:
        if (hasSel && !readOnly() && copySelection(selFrom, selTo)) {
            erase(selFrom, selTo);
        }
        return true;
    case Action::Paste: {
        // Inserted from where it lies: a second copy of a long clipboard
        // could be the allocation that fails.
        std::u16string_view clip = Clipboard();
        if (!multiLine()) {
            // A single-line field takes the first line only.
            clip = clip.substr(0, clip.find_first_of(u"\r\n"));
        }
        if (!clip.empty()) {
            insert(clip);
        }
        return true;
    }
    default:
        return false;
    }
}

bool Edit::breakLineByKey(Action action) {
    if (action != Action::NewLine) {
        return false;
    }
    insert(u"\r\n");
    return true;
}

void Edit::mouse(const screen::MouseEvent& ev, int x, int y) {
    using Kind = screen::MouseEvent::Kind;
    const CellRect area = textArea();
    if (ev.kind == Kind::WheelUp || ev.kind == Kind::WheelDown) {
        if (multiLine()) {
            scrollRows(ev.kind == Kind::WheelUp ? -3 : 3);
        }
        return;
    }
    if (hasScrollBar() && x == (bordered() ? rect().w - 1 : area.right()) &&
        ev.kind == Kind::Press) {
        const int barTop = area.y, barBottom = area.bottom() - 1;
        if (y <= barTop) {
            scrollRows(-1);
        } else if (y >= barBottom) {
            scrollRows(1);
        } else {
            scrollRows(y < (barTop + barBottom) / 2 ? -(area.h - 1) : area.h - 1);
        }
        return;
    }
    const int cx = std::clamp(x - area.x, 0, area.w - 1);
    const int cy = std::clamp(y - area.y, 0, area.h - 1);
    std::size_t pos = 0;
    if (multiLine()) {
        RowPos r = top_;
        for (int i = 0; i < cy; ++i) {
            if (!nextRow(r)) {
                break;
            }
        }
        pos = positionAt(r, static_cast<std::size_t>(cx));
    } else {
        const std::u16string t = model_.units(scrollX_, scrollX_ + RowSpan(width()));
        std::size_t cells = 0;
        std::size_t i = 0;
        for (; i < t.size(); ++i) {
            const std::size_t w = UnitCells(t, i);
            if (w > 0 && cells + w > static_cast<std::size_t>(cx)) {
                break;
            }
            cells += w;
        }
        pos = scrollX_ + i;
    }
    // A press places the cursor; the release after a drag selects up to it.
    moveCaret(pos, ev.kind == Kind::Release);
}

LRESULT Edit::message(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_GETDLGCODE: {
        const auto* ev = reinterpret_cast<const screen::KeyEvent*>(lParam);
        if (ev != nullptr && claimsKey(*ev)) {
            return DLGC_WANTALLKEYS;
        }
        return DLGC_HASSETSEL | DLGC_WANTCHARS | DLGC_WANTARROWS;
    }
    case EM_GETSEL: {
        const auto from = static_cast<DWORD>(std::min(caret_, anchor_));
        const auto to = static_cast<DWORD>(std::max(caret_, anchor_));
        if (auto* p = reinterpret_cast<DWORD*>(wParam)) {
            *p = from;
        }
        if (auto* p = reinterpret_cast<DWORD*>(lParam)) {
            *p = to;
        }
        return static_cast<LRESULT>(MAKELONG(static_cast<WORD>(std::min<DWORD>(from, 0xFFFF)),
                                             static_cast<WORD>(std::min<DWORD>(to, 0xFFFF))));
    }
    case EM_SETSEL: {
        const auto start = static_cast<long long>(static_cast<INT_PTR>(wParam));
        const auto end = static_cast<long long>(lParam);
        const std::size_t n = model_.size();
        if (start < 0) {
            select(caret_, caret_); // remove the selection, keep the cursor
            return 0;
        }
        const std::size_t a = static_cast<std::size_t>(start);
        const std::size_t b = end < 0 ? n : static_cast<std::size_t>(end);
        select(std::min(a, n), std::min(b, n));
        return 0;
    }
    case WM_SETTEXT:
        Window::message(msg, wParam, lParam);
        // A program's own change to a one-line field is a change like the
        // user's (Win32 tells the parent); a multi-line edit's is not.
        if (!multiLine()) {
            notifyParent(EN_CHANGE);
        }
        return TRUE;
    case EM_SETREADONLY:
        setStyleBits(ES_READONLY, wParam != 0);
        return TRUE;
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(model_.size());
    case WM_GETTEXT: {
        // Straight from the blocks into the caller's buffer: no copy of the
        // whole text on the way.
        auto* buffer = reinterpret_cast<LPWSTR>(lParam);
        if (buffer == nullptr || wParam == 0) {
            return 0;
        }
        const std::size_t n = model_.copy(0, static_cast<std::size_t>(wParam) - 1, buffer);
        buffer[n] = 0;
        return static_cast<LRESULT>(n);
    }
    default:
        return Window::message(msg, wParam, lParam);
    }
}

void Edit::paint(Painter& painter, bool focused) const {
    using screen::Role;
    const Role role = !enabled() ? Role::Disabled : focused ? Role::FieldFocused : Role::Field;
    painter.fill(CellRect{0, 0, rect().w, rect().h}, U' ', role);
    if (bordered()) {
        painter.frame(CellRect{0, 0, rect().w, rect().h},
                      enabled() ? Role::Window : Role::Disabled);
    }
    const CellRect area = textArea();
    const std::size_t selFrom = std::min(caret_, anchor_), selTo = std::max(caret_, anchor_);
    const bool showSelection = focused;

    // Draws units [from, to) on row y, from u, which starts with the unit
    // at base and holds the units around the row where there are any;
    // byUnits: every unit in one cell.
    auto drawRun = [&](int y, std::u16string_view u, std::size_t base, std::size_t from,
                       std::size_t to, bool byUnits) {
        int x = area.x;
        for (std::size_t i = from; i < to && x < area.right(); ++i) {
            const std::size_t k = i - base;
            const char16_t c = u[k];
            const bool selected = showSelection && i >= selFrom && i < selTo;
            const Role r = selected ? Role::Selection : role;
            std::uint8_t a = selected ? screen::AttrReverse : 0;
            if (c == u'\r') {
                a ^= screen::AttrReverse; // the mark stands out from the text around it
            }
            const bool pairStart = k + 1 < u.size() && IS_SURROGATE_PAIR(c, u[k + 1]);
            const bool pairEnd = k > 0 && IS_SURROGATE_PAIR(u[k - 1], c);
            if (byUnits) {
                const bool narrow = !pairStart && !pairEnd && screen::CharWidth(c) == 1;
                painter.put(x++, y, narrow ? Shown(c) : screen::glyph::Hidden, r, a);
            } else if (pairStart) {
                const char32_t ch =
                    0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(u[k + 1]) - 0xDC00);
                painter.put(x, y, ch, r, a);
                painter.put(x + 1, y, U' ', r, a); // a pair takes two cells
                x += 2;
            } else if (!pairEnd) {
                if (x == area.x && screen::CharWidth(c) == 0) {
                    x += painter.glyph(x, y, U' ', r, a); // a mark with no base in view
                }
                x += painter.glyph(x, y, Shown(c), r, a);
            }
        }
    };

    if (!multiLine()) {
        const std::size_t base = scrollX_ > 0 ? scrollX_ - 1 : 0;
        const std::size_t end = std::min(model_.size(), scrollX_ + RowSpan(width()));
        const std::u16string u = model_.units(base, end + 1);
        drawRun(area.y, u, base, scrollX_, end, false);
        if (focused) {
            painter.cursor(area.x + static_cast<int>(CellsOf(u, scrollX_ - base, caret_ - base)),
                           area.y);
        }
        return;
    }

    const RowPos caretRow = rowOf(caret_);
    RowPos r = top_;
    for (int y = 0; y < area.h; ++y) {
        const LineRows rows = rowsOfLine(r.line);
        const std::size_t from = rows.rowStart(r.sub);
        const std::size_t to = rows.rowStart(r.sub + 1);
        if (rows.cutByUnits()) {
            const std::size_t base = from > 0 ? from - 1 : 0;
            const std::u16string u = model_.units(base, to + 1);
            drawRun(area.y + y, u, base, from, to, true);
        } else {
            drawRun(area.y + y, rows.units(), rows.start(), from, to, false);
        }
        if (focused && r == caretRow) {
            painter.cursor(area.x + static_cast<int>(rows.locate(caret_).x), area.y + y);
        }
        if (!nextRow(r)) {
            break;
        }
    }

    if (hasScrollBar()) {
        using namespace screen::glyph;
        const int x = bordered() ? rect().w - 1 : area.right();
        const Role barRole = enabled() ? Role::Window : Role::Disabled;
        const int top = area.y, bottom = area.bottom() - 1;
        painter.put(x, top, ArrowUp, barRole);
        painter.put(x, bottom, ArrowDown, barRole);
        const int track = bottom - top - 1;
        if (track >= 1) {
            for (int y = top + 1; y < bottom; ++y) {
                painter.put(x, y, Track, barRole);
            }
            const std::size_t lines = model_.lineCount();
            const std::size_t span = lines > 1 ? lines - 1 : 1;
            const int thumb = static_cast<int>(std::min<std::size_t>(top_.line, span) *
                                               static_cast<std::size_t>(track - 1) / span);
            painter.put(x, top + 1 + thumb, Thumb, barRole);
        }
    }
}

} // namespace user32
