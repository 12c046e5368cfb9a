#include "platform/user32/controls/combo_box.h"

#include "platform/screen/box_chars.h"
#include "platform/text/fold_case.h"
#include "platform/text/unicode.h"
#include "platform/user32/core/key_table.h"
#include "platform/user32/core/system.h"
#include "platform/user32/core/window_class.h"

#include <algorithm>

namespace user32 {
namespace {

constexpr UINT kSetEditSel = 0x0142;

std::u16string_view Param(LPARAM lParam) {
    const auto* s = reinterpret_cast<LPCWSTR>(lParam);
    return s == nullptr ? std::u16string_view{} : std::u16string_view{s};
}

bool StartsWithNoCase(std::u16string_view s, std::u16string_view prefix) {
    if (prefix.size() > s.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (text::FoldCase(s[i]) != text::FoldCase(prefix[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

int CompareNoCase(std::u16string_view a, std::u16string_view b) {
    return text::CompareFolded(a, b);
}

ComboBox::ComboBox() : Window(kKind) {
    field_.setStyle(WS_VISIBLE | ES_AUTOHSCROLL);
    field_.onUserChange = [this] {
        // Typed text is not an entry: the list has no selection until one is picked.
        selection_ = -1;
        if (dropped_) {
            const std::u16string t = field_.text();
            hot_ = t.empty() ? -1 : findPrefix(-1, t);
            showHot();
        }
        notifyParent(CBN_EDITCHANGE);
    };
}

void ComboBox::moved() {
    field_.setRect(CellRect{0, 0, std::max(1, rect().w - 1), 1});
    field_.setStyleBits(ES_READONLY, listOnly());
}

void ComboBox::setText(std::u16string_view text) {
    field_.setText(text);
}

void ComboBox::enabledChanged() {
    field_.setStyleBits(WS_DISABLED, !enabled());
    if (!enabled()) {
        close();
    }
}

int ComboBox::findPrefix(int start, std::u16string_view prefix) const {
    const int n = count();
    for (int k = 1; k <= n; ++k) {
        const int i = ((start < 0 ? -1 : start) + k) % n;
        if (StartsWithNoCase(items_[static_cast<std::size_t>(i)], prefix)) {
            return i;
        }
    }
    return -1;
}

int ComboBox::findExact(int start, std::u16string_view s) const {
    const int n = count();
    for (int k = 1; k <= n; ++k) {
        const int i = ((start < 0 ? -1 : start) + k) % n;
        if (CompareNoCase(items_[static_cast<std::size_t>(i)], s) == 0) {
            return i;
        }
    }
    return -1;
}

int ComboBox::insertItem(int index, std::u16string s) {
    if (index < 0 || index > count()) {
        index = count();
    }
    items_.insert(items_.begin() + index, std::move(s));
    if (selection_ >= index) {
        ++selection_;
    }
    if (hot_ >= index) {
        ++hot_;
    }
    return index;
}

void ComboBox::setSelection(int index, bool notify) {
    selection_ = index;
    hot_ = index;
    field_.setText(items_[static_cast<std::size_t>(index)]);
    field_.message(EM_SETSEL, 0, -1);
    showHot();
    if (notify) {
        notifyParent(CBN_SELCHANGE);
    }
}

void ComboBox::pick(int index) {
    // Win32 tells the parent of every pick from the open list, the entry that
    // was already chosen included: choosing it again is a choice the parent
    // may act on (a port chosen again is opened afresh).
    setSelection(index, true);
}

LRESULT ComboBox::message(UINT msg, WPARAM wParam, LPARAM lParam) {
    const LRESULT answered = answer(msg, wParam, lParam);
    placeList(); // the entries may have changed under the open list
    return answered;
}

LRESULT ComboBox::answer(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_GETDLGCODE: {
        const auto* ev = reinterpret_cast<const screen::KeyEvent*>(lParam);
        if (ev != nullptr && claimsKey(*ev)) {
            return DLGC_WANTALLKEYS;
        }
        return DLGC_WANTCHARS | DLGC_WANTARROWS | (listOnly() ? 0 : DLGC_HASSETSEL);
    }
    case EM_SETSEL:
        return field_.message(msg, wParam, lParam);
    case CB_ADDSTRING: {
        std::u16string s(Param(lParam));
        int index = count();
        if (sorted()) {
            const auto it = std::upper_bound(items_.begin(), items_.end(), s,
                                             [](const std::u16string& a, const std::u16string& b) {
                                                 return CompareNoCase(a, b) < 0;
                                             });
            index = static_cast<int>(it - items_.begin());
        }
        return insertItem(index, std::move(s));
    }
    case CB_INSERTSTRING: {
        const auto index = static_cast<int>(static_cast<INT_PTR>(wParam));
        if (index > count()) {
            return CB_ERR;
        }
        return insertItem(index, std::u16string(Param(lParam)));
    }
    case CB_DELETESTRING: {
        const auto index = static_cast<int>(static_cast<INT_PTR>(wParam));
        if (index < 0 || index >= count()) {
            return CB_ERR;
        }
        items_.erase(items_.begin() + index);
        if (selection_ == index) {
            selection_ = -1;
        } else if (selection_ > index) {
            --selection_;
        }
        hot_ = std::min(hot_, count() - 1);
        return count();
    }
    case CB_GETCOUNT:
        return count();
    case CB_GETCURSEL:
        return selection_;
    case CB_SETCURSEL: {
        const auto index = static_cast<int>(static_cast<INT_PTR>(wParam));
        if (index < 0 || index >= count()) {
            selection_ = -1;
            hot_ = -1;
            field_.setText(u"");
            return CB_ERR;
        }
        setSelection(index, false);
        return index;
    }
    case CB_GETLBTEXT: {
        const auto index = static_cast<int>(static_cast<INT_PTR>(wParam));
        auto* buffer = reinterpret_cast<LPWSTR>(lParam);
        if (index < 0 || index >= count() || buffer == nullptr) {
            return CB_ERR;
        }
        const std::u16string& s = items_[static_cast<std::size_t>(index)];
        std::copy(s.begin(), s.end(), buffer);
        buffer[s.size()] = 0;
        return static_cast<LRESULT>(s.size());
    }
    case CB_GETLBTEXTLEN: {
        const auto index = static_cast<int>(static_cast<INT_PTR>(wParam));
        if (index < 0 || index >= count()) {
            return CB_ERR;
        }
        return static_cast<LRESULT>(items_[static_cast<std::size_t>(index)].size());
    }
    case CB_FINDSTRING: {
        const int i = findPrefix(static_cast<int>(static_cast<INT_PTR>(wParam)), Param(lParam));
        return i < 0 ? CB_ERR : i;
    }
    case CB_FINDSTRINGEXACT: {
        const int i = findExact(static_cast<int>(static_cast<INT_PTR>(wParam)), Param(lParam));
        return i < 0 ? CB_ERR : i;
    }
    case CB_SELECTSTRING: {
        const int i = findPrefix(static_cast<int>(static_cast<INT_PTR>(wParam)), Param(lParam));
        if (i < 0) {
            return CB_ERR;
        }
        setSelection(i, false);
        return i;
    }
    case CB_RESETCONTENT:
        items_.clear();
        selection_ = hot_ = -1;
        listTop_ = 0;
        field_.setText(u"");
        return 0;
    case CB_SHOWDROPDOWN:
        wParam ? open() : close();
        return TRUE;
    case CB_GETDROPPEDSTATE:
        return dropped_ ? TRUE : FALSE;
    case CB_GETEDITSEL: {
        return field_.message(EM_GETSEL, wParam, lParam);
    }
    case kSetEditSel:
        field_.message(EM_SETSEL, static_cast<WPARAM>(static_cast<SHORT>(LOWORD(lParam))),
                       static_cast<LPARAM>(static_cast<SHORT>(HIWORD(lParam))));
        return TRUE;
    case CB_SETMINVISIBLE:
        if (static_cast<int>(wParam) < 1) {
            return FALSE;
        }
        listRows = static_cast<int>(wParam);
        return TRUE;
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(field_.model().size());
    default:
        return Window::message(msg, wParam, lParam);
    }
}

int ComboBox::visibleRows() const {
    return std::max(1, std::min(listRows, std::max(1, count())));
}

void ComboBox::showHot() {
    const int rows = visibleRows();
    if (hot_ >= 0) {
        if (hot_ < listTop_) {
            listTop_ = hot_;
        } else if (hot_ >= listTop_ + rows) {
            listTop_ = hot_ - rows + 1;
        }
    }
    listTop_ = std::clamp(listTop_, 0, std::max(0, count() - rows));
    placeList();
}

void ComboBox::placeList() {
    if (Window* list = System::get().find(list_); list != nullptr && dropped_) {
        list->setRect(listRect());
    }
}

void ComboBox::open() {
    if (dropped_ || !reachable()) {
        return;
    }
    System& sys = System::get();
    sys.cancelPopups(); // one open list at a time
    Window* list = sys.find(list_);
    if (list == nullptr) {
        if (auto made = CreateWindowOfClass(u"ComboLBox", WS_POPUP)) {
            list = sys.adopt(std::move(made), sys.desktop());
            list->setOwner(hwnd());
            list_ = list->hwnd();
        }
    }
    dropped_ = true;
    if (list != nullptr) {
        sys.showPopup(list);
    }
    const std::u16string t = field_.text();
    hot_ = selection_ >= 0 ? selection_ : (t.empty() ? -1 : findPrefix(-1, t));
    listTop_ = 0;
    showHot();
    notifyParent(CBN_DROPDOWN);
}

void ComboBox::close() {
    if (!dropped_) {
        return;
    }
    dropped_ = false;
    if (Window* list = System::get().find(list_)) {
        System::get().hidePopup(list);
    }
    notifyParent(CBN_CLOSEUP);
}

void ComboBox::focusChanged(bool gained) {
    if (!gained) {
        close();
    }
}

bool ComboBox::claimsKey(const screen::KeyEvent& ev) const {
    return (dropped_ && LookupKey(KeyContext::ComboOpen, ev) != Action::None) ||
           (!listOnly() && field_.claimsKey(ev));
}

void ComboBox::typeText(std::u32string_view text) {
    if (!listOnly()) {
        field_.typeText(text);
    }
}

bool ComboBox::key(const screen::KeyEvent& ev) {
    if (dropped_) {
        switch (LookupKey(KeyContext::ComboOpen, ev)) {
        case Action::ListPick:
            if (hot_ >= 0) {
                pick(hot_);
            }
            close();
            return true;
        case Action::ListClose:
            close();
            return true;
        default:
            break;
        }
    }
    const Action a = LookupKey(KeyContext::Combo, ev);
    switch (a) {
    case Action::ListToggle:
        dropped_ ? close() : open();
        return true;
    case Action::ListPrevious:
    case Action::ListNext:
    case Action::ListPageUp:
    case Action::ListPageDown: {
        if (count() == 0) {
            return true;
        }
        int base = selection_;
        if (base < 0) {
            base = dropped_ ? hot_ : -1;
        }
        int next = 0;
        if (base >= 0) {
            const int page = std::max(1, visibleRows() - 1);
            const int step = a == Action::ListPrevious ? -1
                             : a == Action::ListNext   ? 1
                             : a == Action::ListPageUp ? -page
                                                       : page;
            next = std::clamp(base + step, 0, count() - 1);
        } else {
            const std::u16string t = field_.text();
            next = t.empty() ? 0 : std::max(0, findPrefix(-1, t));
        }
        if (next != selection_) {
            setSelection(next, true);
        }
        return true;
    }
    default:
        break;
    }
    if (listOnly() && ev.key == screen::Key::Char && !ev.ctrl && !ev.alt && ev.ch > U' ') {
        const char32_t want = text::FoldCase(ev.ch);
        for (int k = 1; k <= count(); ++k) {
            const int i = (std::max(selection_, -1) + k) % count();
            const auto& s = items_[static_cast<std::size_t>(i)];
            if (!s.empty() && text::FoldCase(s[0]) == want) {
                if (i != selection_) {
                    setSelection(i, true);
                }
                break;
            }
        }
        return true;
    }
    return field_.key(ev);
}

void ComboBox::mouse(const screen::MouseEvent& ev, int x, int y) {
    using Kind = screen::MouseEvent::Kind;
    if (ev.kind == Kind::Press && (x >= rect().w - 1 || listOnly())) {
        dropped_ ? close() : open();
        return;
    }
    if (ev.kind == Kind::Press || ev.kind == Kind::Release) {
        field_.mouse(ev, x, y);
    }
}

CellRect ComboBox::listRect() const {
    if (!dropped_) {
        return CellRect{};
    }
    const CellRect sr = screenRect();
    std::size_t longest = 0;
    for (const auto& s : items_) {
        longest = std::max(longest, s.size());
    }
    System& sys = System::get();
    const int screenW = sys.screenWidth(), screenH = sys.screenHeight();
    const int w = std::min(std::max(sr.w, static_cast<int>(longest) + 2), std::max(3, screenW));
    const int h = visibleRows() + 1;
    int y = sr.y + 1;
    if (y + h > screenH && sr.y - h >= 0) {
        y = sr.y - h; // no room below: open upwards
    }
    const int x = std::max(0, std::min(sr.x, screenW - w));
    return CellRect{x, y, w, h};
}

void ComboBox::paintList(Painter& p) const {
    using namespace screen::glyph;
    using screen::Role;
    const CellRect r = listRect();
    if (r.w == 0) {
        return;
    }
    const bool above = r.y < screenRect().y;
    const int first = above ? 1 : 0; // the border row is on the far side from the field
    const int borderY = above ? 0 : r.h - 1;
    p.fill(CellRect{0, 0, r.w, r.h}, U' ', Role::List);
    for (int x = 1; x < r.w - 1; ++x) {
        p.put(x, borderY, Horizontal, Role::List);
    }
    p.put(0, borderY, above ? TopLeft : BottomLeft, Role::List);
    p.put(r.w - 1, borderY, above ? TopRight : BottomRight, Role::List);
    const int rows = r.h - 1;
    for (int i = 0; i < rows; ++i) {
        const int y = first + i;
        p.put(0, y, Vertical, Role::List);
        p.put(r.w - 1, y, Vertical, Role::List);
        const int index = listTop_ + i;
        if (index >= count()) {
            continue;
        }
        const bool isHot = index == hot_;
        const Role role = isHot ? Role::Selection : Role::List;
        const std::uint8_t attrs = isHot ? screen::AttrReverse : 0;
        p.fill(CellRect{1, y, r.w - 2, 1}, U' ', role, attrs);
        p.text(1, y, text::Utf16ToUtf32(items_[static_cast<std::size_t>(index)]), role, attrs);
    }
    if (listTop_ > 0) {
        p.put(r.w - 1, first, ArrowUp, Role::List);
    }
    if (listTop_ + rows < count()) {
        p.put(r.w - 1, first + rows - 1, ArrowDown, Role::List);
    }
}

void ComboBox::listMouse(const screen::MouseEvent& ev, int x, int y) {
    using Kind = screen::MouseEvent::Kind;
    const CellRect r = listRect();
    if (ev.kind == Kind::WheelUp || ev.kind == Kind::WheelDown) {
        listTop_ += ev.kind == Kind::WheelUp ? -1 : 1;
        listTop_ = std::clamp(listTop_, 0, std::max(0, count() - visibleRows()));
        return;
    }
    if (ev.kind != Kind::Press && ev.kind != Kind::DoubleClick) {
        return;
    }
    const bool above = r.y < screenRect().y;
    const int row = y - r.y - (above ? 1 : 0);
    const int index = listTop_ + row;
    if (x > r.x && x < r.right() - 1 && row >= 0 && row < r.h - 1 && index < count()) {
        pick(index);
        close();
    }
}

void ComboBox::paint(Painter& painter, bool focused) const {
    using screen::Role;
    Painter fieldPainter = painter.inner(field_.rect());
    field_.paint(fieldPainter, focused);
    const Role arrowRole = enabled() ? Role::Button : Role::Disabled;
    painter.put(rect().w - 1, 0, screen::glyph::ArrowDown, arrowRole);
}

} // namespace user32
