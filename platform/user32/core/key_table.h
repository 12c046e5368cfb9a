// The one table from keys to named actions. Controls and the dialog manager
// look keys up here instead of testing keys themselves, so the key list in
// the documentation is this table (KeyTable() prints it).
#pragma once

#include "platform/screen/input.h"

#include <span>
#include <string>

namespace user32 {

enum class KeyContext {
    Dialog,    // the dialog manager, after the focused control declined
    Button,    // push buttons and check boxes
    Edit,      // every edit field, combo fields included
    MultiLine, // multi-line edits, before the Edit rows
    Combo,     // a combo box, before its field's Edit rows
    ComboOpen, // a combo box whose list is open, before the Combo rows
    List,      // a list box
    Waiting,   // while the program waits on a device or a file
};

enum class Action {
    None,
    // dialog
    NextControl,
    PreviousControl,
    PressDefault,
    Cancel,
    CaptionOk,
    HowToQuit,
    // while waiting
    CancelWait,
    // buttons
    Press,
    // editing
    CaretLeft,
    CaretRight,
    CaretUp,
    CaretDown,
    LineStart,
    LineEnd,
    PageUp,
    PageDown,
    TextStart,
    TextEnd,
    DeleteBack,
    DeleteForward,
    NewLine,
    SelectAll,
    Copy,
    Cut,
    Paste,
    // combo boxes
    ListToggle,
    ListPrevious,
    ListNext,
    ListPageUp,
    ListPageDown,
    ListPick,
    ListClose,
    ListFirst,
    ListLast,
};

struct KeyBinding {
    KeyContext context;
    screen::Key key;
    char32_t ch; // for Key::Char: the character (letters match either case)
    bool ctrl;
    bool alt;
    bool shiftExtends; // Shift may be held; for caret moves it extends the selection
    Action action;
    const char* keys; // as written in the documentation
    const char* meaning;
};

// The action bound to ev in context, or Action::None.
Action LookupKey(KeyContext context, const screen::KeyEvent& raw);

std::span<const KeyBinding> KeyTable();

// The table as a Markdown table (context, keys, action), for the documentation.
std::string DescribeKeys();

} // namespace user32
