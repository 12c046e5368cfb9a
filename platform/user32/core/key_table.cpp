#include "platform/user32/core/key_table.h"

#include "platform/text/fold_case.h"
#include "platform/user32/core/label.h"

namespace user32 {
namespace {

using screen::Key;
using C = KeyContext;
using A = Action;

constexpr KeyBinding kBindings[] = {
    {C::Dialog, Key::Tab, 0, false, false, false, A::NextControl, "Tab",
     "next control in tab order"},
    {C::Dialog, Key::BackTab, 0, false, false, false, A::PreviousControl, "Shift+Tab",
     "previous control in tab order"},
    {C::Dialog, Key::Enter, 0, false, false, false, A::PressDefault, "Enter",
     "press the focused push button, else the default push button"},
    {C::Dialog, Key::Escape, 0, false, false, false, A::Cancel, "Esc", "cancel (command 2)"},
    {C::Dialog, Key::Char, U'o', false, true, false, A::CaptionOk, "Alt+O",
     "the caption's OK button (command 1), unless a control uses O as its mnemonic"},
    {C::Dialog, Key::Char, U'c', true, false, false, A::HowToQuit, "Ctrl+C",
     "nothing to copy: the bottom line says how to end the program (Esc or Quit) until the "
     "next key; it never ends it"},

    {C::Waiting, Key::Escape, 0, false, false, false, A::CancelWait, "Esc",
     "cancel the call that waits (it fails with error 995); other keys are dropped"},
    {C::Waiting, Key::Char, U'c', true, false, false, A::CancelWait, "Ctrl+C",
     "cancel the call that waits, as Esc does; a second press in the same wait is dropped, "
     "one after it reaches the form or message box as above"},

    {C::Button, Key::Char, U' ', false, false, false, A::Press, "Space",
     "press the button, toggle the check box"},

    {C::MultiLine, Key::Enter, 0, false, false, false, A::NewLine, "Enter",
     "insert a line break (when the edit wants Enter)"},
    {C::MultiLine, Key::Up, 0, false, false, true, A::CaretUp, "Up", "row up"},
    {C::MultiLine, Key::Down, 0, false, false, true, A::CaretDown, "Down", "row down"},
    {C::MultiLine, Key::PageUp, 0, false, false, true, A::PageUp, "PageUp", "page up"},
    {C::MultiLine, Key::PageDown, 0, false, false, true, A::PageDown, "PageDown", "page down"},
    {C::MultiLine, Key::Home, 0, true, false, true, A::TextStart, "Ctrl+Home", "start of the text"},
    {C::MultiLine, Key::End, 0, true, false, true, A::TextEnd, "Ctrl+End", "end of the text"},

    {C::Edit, Key::Left, 0, false, false, true, A::CaretLeft, "Left", "character left"},
    {C::Edit, Key::Right, 0, false, false, true, A::CaretRight, "Right", "character right"},
    {C::Edit, Key::Home, 0, false, false, true, A::LineStart, "Home", "start of the line"},
    {C::Edit, Key::End, 0, false, false, true, A::LineEnd, "End", "end of the line"},
    {C::Edit, Key::Backspace, 0, false, false, false, A::DeleteBack, "Backspace",
     "delete the selection or the character before the cursor"},
    {C::Edit, Key::Delete, 0, false, false, false, A::DeleteForward, "Delete",
     "delete the selection or the character after the cursor"},
    {C::Edit, Key::Char, U'a', true, false, false, A::SelectAll, "Ctrl+A", "select all"},
    {C::Edit, Key::Char, U'c', true, false, false, A::Copy, "Ctrl+C",
     "copy the selection (with none, the dialog's Ctrl+C)"},
    {C::Edit, Key::Insert, 0, true, false, false, A::Copy, "Ctrl+Insert", "copy the selection"},
    {C::Edit, Key::Char, U'x', true, false, false, A::Cut, "Ctrl+X", "cut the selection"},
    {C::Edit, Key::Char, U'v', true, false, false, A::Paste, "Ctrl+V", "paste"},

    {C::ComboOpen, Key::Enter, 0, false, false, false, A::ListPick, "Enter",
     "take the highlighted entry (a selection change, even of the same entry) and close the list"},
    {C::ComboOpen, Key::Escape, 0, false, false, false, A::ListClose, "Esc", "close the list"},
    {C::Combo, Key::F4, 0, false, false, false, A::ListToggle, "F4", "open or close the list"},
    {C::Combo, Key::Down, 0, false, true, false, A::ListToggle, "Alt+Down",
     "open or close the list"},
    {C::Combo, Key::Up, 0, false, true, false, A::ListToggle, "Alt+Up", "open or close the list"},
    {C::Combo, Key::Up, 0, false, false, false, A::ListPrevious, "Up",
     "select the previous entry (a selection change)"},
    {C::Combo, Key::Down, 0, false, false, false, A::ListNext, "Down",
     "select the next entry (a selection change)"},
    {C::Combo, Key::PageUp, 0, false, false, false, A::ListPageUp, "PageUp",
     "select a page of entries up"},
    {C::Combo, Key::PageDown, 0, false, false, false, A::ListPageDown, "PageDown",
     "select a page of entries down"},

    {C::List, Key::Up, 0, false, false, false, A::ListPrevious, "Up", "previous entry"},
    {C::List, Key::Down, 0, false, false, false, A::ListNext, "Down", "next entry"},
    {C::List, Key::PageUp, 0, false, false, false, A::ListPageUp, "PageUp", "a page of entries up"},
    {C::List, Key::PageDown, 0, false, false, false, A::ListPageDown, "PageDown",
     "a page of entries down"},
    {C::List, Key::Home, 0, false, false, false, A::ListFirst, "Home", "first entry"},
    {C::List, Key::End, 0, false, false, false, A::ListLast, "End", "last entry"},
};

const char* ContextName(KeyContext c) {
    switch (c) {
    case C::Dialog:
        return "dialog";
    case C::Button:
        return "button, check box";
    case C::Edit:
        return "edit field";
    case C::MultiLine:
        return "multi-line edit";
    case C::Combo:
        return "combo box";
    case C::ComboOpen:
        return "combo box, list open";
    case C::List:
        return "list box (a letter: the next entry starting with it)";
    case C::Waiting:
        return "while a job or a load waits";
    }
    return "";
}

} // namespace

Action LookupKey(KeyContext context, const screen::KeyEvent& raw) {
    screen::KeyEvent ev = raw;
    // A front end may hand Ctrl+letter over as its control code.
    if (ev.key == Key::Char && ev.ch >= 1 && ev.ch <= 26 && ev.ch != U'\t' && ev.ch != U'\r') {
        ev.ch = U'a' + ev.ch - 1;
        ev.ctrl = true;
    }
    // Some terminals report Shift+Tab as Tab with Shift held.
    if (ev.key == Key::Tab && ev.shift) {
        ev.key = Key::BackTab;
    }
    for (const KeyBinding& b : kBindings) {
        if (b.context != context || b.key != ev.key || b.ctrl != ev.ctrl || b.alt != ev.alt) {
            continue;
        }
        if (ev.shift && !b.shiftExtends && b.key != Key::BackTab && b.key != Key::Char) {
            continue;
        }
        if (b.key == Key::Char && text::FoldCase(b.ch) != text::FoldCase(ev.ch)) {
            continue;
        }
        return b.action;
    }
    return Action::None;
}

std::span<const KeyBinding> KeyTable() {
    return kBindings;
}

std::string DescribeKeys() {
    std::string out = "| where | keys | action |\n|---|---|---|\n";
    for (const KeyBinding& b : kBindings) {
        out += "| ";
        out += ContextName(b.context);
        out += " | ";
        out += b.shiftExtends ? std::string(b.keys) + " (Shift: extend selection)" : b.keys;
        out += " | ";
        out += b.meaning;
        out += " |\n";
    }
    return out;
}

} // namespace user32
