#include "tests/platform/comdlg32/dialog_driver.h"

#include "platform/comdlg32/open_file_dialog.h"
#include "platform/text/unicode.h"
#include "platform/user32/controls/list_box.h"
#include "platform/win32/user.h"

#include <gtest/gtest.h>

namespace filedialog_test {

namespace {
constexpr char16_t kGuard = u'\uFFEE';
constexpr std::size_t kGuardLength = 16;

std::string TextOf(HWND w) {
    std::u16string s(static_cast<std::size_t>(GetWindowTextLengthW(w)) + 1, u'\0');
    s.resize(static_cast<std::size_t>(GetWindowTextW(w, s.data(), static_cast<int>(s.size()))));
    return text::Utf16ToUtf8(s);
}

std::string RightTrimmed(std::string s) {
    while (!s.empty() && s.back() == ' ') {
        s.pop_back();
    }
    return s;
}

} // namespace

OpenCall::OpenCall(const std::string& start, DWORD maxFile)
    : folder(text::Utf8ToUtf16(start)), buffer(maxFile + kGuardLength, kGuard) {
    std::fill_n(buffer.begin(), maxFile, u'\0');
    // The loader's settings: open mode, "*.TXT" as the default extension, no
    // initial name, no flags, its two filters, no owner.
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFilter = kLoaderFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = maxFile;
    ofn.lpstrInitialDir = folder.c_str();
    ofn.lpstrDefExt = u"*.TXT";
}

std::string OpenCall::path() const {
    // The dialog writes a terminated name into the larger buffer.
    return text::Utf16ToUtf8(buffer.substr(0, buffer.find(u'\0')));
}

bool OpenCall::guardIntact() const {
    return buffer.substr(ofn.nMaxFile) == std::u16string(kGuardLength, kGuard);
}

HWND OpenDialog() {
    return GetParent(GetFocus());
}

HWND DialogItem(int id) {
    return GetDlgItem(OpenDialog(), id);
}

std::vector<std::string> ListShown() {
    RECT r{};
    GetWindowRect(DialogItem(comdlg32::kOpenFileList), &r);
    std::vector<std::string> rows;
    // Inside the list's frame.
    for (int y = r.top + 1; y < r.bottom - 1; ++y) {
        const std::string row =
            RightTrimmed(Screen().region(r.left + 1, y, r.right - r.left - 2, 1));
        if (!row.empty()) {
            rows.push_back(row);
        }
    }
    return rows;
}

std::string ListSelection() {
    HWND list = DialogItem(comdlg32::kOpenFileList);
    const auto index = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (index < 0) {
        return "";
    }
    std::u16string s(
        static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0)) +
            1,
        u'\0');
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.data()));
    s.resize(s.size() - 1);
    return text::Utf16ToUtf8(s);
}

std::string LookIn() {
    RECT r{};
    GetWindowRect(DialogItem(comdlg32::kOpenFileFolder), &r);
    return RightTrimmed(Screen().region(r.left, r.top, r.right - r.left, 1));
}

std::string NameField() {
    return TextOf(DialogItem(comdlg32::kOpenFileName));
}

void DoubleClickEntry(headless::HeadlessFrontEnd& s, const std::string& text) {
    int x = 0, y = 0;
    ASSERT_TRUE(s.find(text, x, y)) << text << " is not shown:\n" << s.text();
    s.click(x, y);
    s.push(screen::MouseEvent{screen::MouseEvent::Kind::DoubleClick, x, y});
    s.push(screen::MouseEvent{screen::MouseEvent::Kind::Release, x, y});
}

std::string Trimmed(int y) {
    return RightTrimmed(Screen().row(y));
}

} // namespace filedialog_test
