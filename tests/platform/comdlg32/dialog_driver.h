// Drives the open-file dialog on the headless screen: a call with the
// loader's settings in a real folder, and ways to read what the dialog shows.
#pragma once

#include "platform/headless/headless_front_end.h"
#include "platform/win32/commdlg.h"

#include <string>
#include <vector>

namespace filedialog_test {

// The loader's filter as the framework hands it to the dialog.
inline constexpr char16_t kLoaderFilter[] = u"TEXT Files (*.TXT)\0*.TXT\0All Files (*.*)\0*.*\0";

struct OpenCall {
    // Starts in the folder start; the buffer holds maxFile characters and, after
    // them, a guard that the dialog must never touch.
    explicit OpenCall(const std::string& start, DWORD maxFile = 260);
    OpenCall(const OpenCall&) = delete;
    OpenCall& operator=(const OpenCall&) = delete;

    BOOL run() { return GetOpenFileNameW(&ofn); }
    // The answered path, as UTF-8.
    std::string path() const;
    bool guardIntact() const;

    std::u16string folder;
    std::u16string buffer;
    OPENFILENAMEW ofn{};
};

inline headless::HeadlessFrontEnd& Screen() {
    return headless::Screen();
}

// The dialog that holds the focus, and one of its controls.
HWND OpenDialog();
HWND DialogItem(int id);
// What the list shows, one entry a row, blanks at the end cut off.
std::vector<std::string> ListShown();
// The entry the list has selected ("" for none).
std::string ListSelection();
// The current folder, as the "Look in:" line shows it.
std::string LookIn();
std::string NameField();
// Double-clicks the list entry shown as text (fails the test if not shown).
void DoubleClickEntry(headless::HeadlessFrontEnd& s, const std::string& text);
// Row y of the screen without the blanks at its end.
std::string Trimmed(int y);

} // namespace filedialog_test
