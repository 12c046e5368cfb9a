// Written against the Win32 subset alone, as a common dialog library is
// written against the window calls: the dialog comes from a template built
// in memory, and every control is reached by its handle and its messages.
#include "platform/comdlg32/open_file_dialog.h"

#include "platform/comdlg32/file_filter.h"
#include "platform/comdlg32/folder_listing.h"
#include "platform/comdlg32/template_writer.h"
#include "platform/comdlg32/typed_name.h"
#include "platform/text/path_text.h"
#include "platform/text/unicode.h"
#include "platform/win32/user.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace comdlg32 {
namespace {

// The dialog's size on a screen that has room for it; a smaller screen
// gets a dialog as large as the screen.
constexpr int kWidth = 70;
constexpr int kHeight = 20;
constexpr int kLabelWidth = 15; // "Files of type:" and a blank
constexpr int kButtonWidth = 10;
constexpr int kNarrowestButton = 8; // "Cancel" and a blank at each side

std::u16string View(LPCWSTR s) {
    return s != nullptr ? std::u16string(s) : std::u16string();
}

// Text for a static control, shown as it is: no '&' mnemonics in a path.
std::u16string Literal(std::u16string_view s) {
    std::u16string out;
    for (char16_t c : s) {
        out += c;
        if (c == u'&') {
            out += u'&';
        }
    }
    return out;
}

// A long path keeps its end, the part that tells folders apart.
std::u16string Shortened(const std::string& path, int width) {
    std::u32string s = text::Utf16ToUtf32(text::PathFromBytes(path));
    if (width > 3 && static_cast<int>(s.size()) > width) {
        s = U"..." + s.substr(s.size() - static_cast<std::size_t>(width - 3));
    }
    return text::Utf32ToUtf16(s);
}

bool Listable(const std::string& folder) {
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    return !ec;
}

// Where the dialog opens: the caller's folder, else the working folder, else
// the home folder, else the root; the first of them that can be read.
std::string StartFolder(LPCWSTR initialDir) {
    std::error_code ec;
    const std::filesystem::path cwdPath = std::filesystem::current_path(ec);
    const std::string cwd = ec ? std::string("/") : cwdPath.string();
    std::vector<std::string> candidates;
    if (initialDir != nullptr && initialDir[0] != 0) {
        candidates.push_back(ResolvePath(cwd, text::PathToBytes(initialDir)));
    }
    if (!ec) {
        candidates.push_back(ResolvePath("/", cwd));
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        candidates.push_back(ResolvePath("/", home));
    }
    for (const std::string& c : candidates) {
        if (Listable(c)) {
            return c;
        }
    }
    return "/";
}

// 4100 as "4,100".
std::u16string Grouped(std::size_t n) {
    std::u16string digits = text::Utf8ToUtf16(std::to_string(n));
    for (std::size_t at = digits.size(); at > 3; at -= 3) {
        digits.insert(at - 3, 1, u',');
    }
    return digits;
}

class OpenDialog {
public:
    explicit OpenDialog(OPENFILENAMEW& ofn)
        : ofn_(ofn), filters_(ParseFilterList(ofn.lpstrFilter)) {
        caption_ = ofn.lpstrTitle != nullptr ? View(ofn.lpstrTitle) : u"Open";
        rules_.defaultExtension = ofn.lpstrDefExt != nullptr ? ofn.lpstrDefExt : u"";
        rules_.fileMustExist = (ofn.Flags & OFN_FILEMUSTEXIST) != 0;
        rules_.pathMustExist = (ofn.Flags & OFN_PATHMUSTEXIST) != 0;
    }

    // Answers whether a file was chosen; then answer() is its full path.
    bool run();
    const std::string& answer() const { return answer_; }
    int filterIndex() const { return filterIndex_; }

private:
    static INT_PTR CALLBACK Procedure(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
    void layOut(int screenWidth, int screenHeight);

    INT_PTR handle(UINT msg, WPARAM wParam, LPARAM lParam);
    void init(HWND hDlg);
    std::vector<std::u16string> patterns() const;
    bool showFolder(const std::string& folder, const std::string& select = {});
    void activate(int index);
    void ok();
    void choose(const std::string& path);
    void tell(const std::string& path, const char16_t* what);
    std::u16string nameText() const;

    OPENFILENAMEW& ofn_;
    std::vector<FileFilter> filters_;
    std::u16string caption_;
    TypedNameRules rules_;
    std::string folder_;
    std::u16string
        typedPattern_; // a pattern typed in the name field; in force until the type changes
    std::vector<FolderEntry> entries_;
    std::u16string fromList_; // the file name the list last put in the field
    int filterIndex_ = 1;
    std::string answer_;

    HWND dialog_ = nullptr;
    HWND folderLabel_ = nullptr;
    HWND list_ = nullptr;
    HWND name_ = nullptr;
    HWND types_ = nullptr;
    HWND lookInLabel_ = nullptr;
    HWND nameLabel_ = nullptr;
    HWND typeLabel_ = nullptr;
    HWND ok_ = nullptr;
    HWND cancel_ = nullptr;
    int folderWidth_ = 0;
};

// The open dialogs being shown, innermost last: the procedure finds its
// dialog's state here, from the handle it is called with.
std::vector<std::pair<HWND, OpenDialog*>>& Shown() {
    static std::vector<std::pair<HWND, OpenDialog*>> shown;
    return shown;
}

INT_PTR CALLBACK OpenDialog::Procedure(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        auto* self = reinterpret_cast<OpenDialog*>(lParam);
        Shown().emplace_back(hDlg, self);
        self->init(hDlg);
        return FALSE; // the focus is in the name field already
    }
    for (const auto& [hwnd, self] : Shown()) {
        if (hwnd == hDlg) {
            return self->handle(msg, wParam, lParam);
        }
    }
    return FALSE;
}

// The controls are placed by layOut() for the screen at hand; the template
// gives only what they are, in Tab order.
bool OpenDialog::run() {
    constexpr SHORT kNone = 0;
    DialogTemplateWriter tpl(WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_MODALFRAME, caption_, kNone,
                             kNone);
    using enum ControlClass;
    tpl.add(Static, kOpenFileLookInLabel, 0, 0, 0, 0, 0, u"&Look in:");
    tpl.add(Static, kOpenFileFolder, 0, 0, 0, 0, 0);
    tpl.add(ListBox, kOpenFileList, WS_BORDER | WS_VSCROLL | WS_TABSTOP, 0, 0, 0, 0);
    tpl.add(Static, kOpenFileNameLabel, 0, 0, 0, 0, 0, u"File &name:");
    tpl.add(Edit, kOpenFileName, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 0, 0);
    tpl.add(Static, kOpenFileTypesLabel, 0, 0, 0, 0, 0, u"Files of &type:");
    tpl.add(ComboBox, kOpenFileTypes, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, 0, 0, 0);
    tpl.add(Button, IDOK, WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 0, 0, u"OK");
    tpl.add(Button, IDCANCEL, WS_TABSTOP, 0, 0, 0, 0, u"Cancel");
    const HWND owner = IsWindow(ofn_.hwndOwner) != FALSE ? ofn_.hwndOwner : nullptr;
    const INT_PTR result = DialogBoxIndirectParamW(nullptr, tpl.get(), owner, &Procedure,
                                                   reinterpret_cast<LPARAM>(this));
    std::erase_if(Shown(), [this](const auto& entry) { return entry.second == this; });
    return result == IDOK && !answer_.empty();
}

void OpenDialog::layOut(int screenWidth, int screenHeight) {
    const int width = std::min(kWidth, screenWidth);
    const int height = std::min(kHeight, screenHeight);
    MoveWindow(dialog_, std::max(0, (screenWidth - width) / 2),
               std::max(0, (screenHeight - height) / 2), width, height, TRUE);

    // Client area: one blank column at each side, the list filling the middle.
    const int cw = width - 2, ch = height - 2;
    const int nameY = std::max(3, ch - 3), typeY = nameY + 1;
    // The type field shows its longest filter whole where the width allows:
    // on a narrow screen the field first takes the blanks beside it, then
    // the buttons give up cells down to their label's width and a blank.
    int wanted = 2; // the drop-down arrow, and the cell after the text
    for (const FileFilter& f : filters_) {
        wanted = std::max(wanted, static_cast<int>(f.description.size()) + 2);
    }
    int fieldX = 1 + kLabelWidth + 1;
    int buttonWidth = kButtonWidth;
    int buttonX = cw - 1 - buttonWidth - 1;
    int fieldW = buttonX - 2 - fieldX;
    if (fieldW < wanted) {
        fieldX = 1 + kLabelWidth;
        buttonX = cw - 1 - buttonWidth;
        fieldW = buttonX - 1 - fieldX;
    }
    while (fieldW < wanted && buttonWidth > kNarrowestButton) {
        --buttonWidth;
        ++buttonX;
        ++fieldW;
    }
    fieldW = std::max(1, fieldW);
    buttonX = std::max(fieldX + 1, buttonX);
    folderWidth_ = std::max(1, cw - 11);

    MoveWindow(lookInLabel_, 1, 1, 9, 1, TRUE);
    MoveWindow(folderLabel_, 10, 1, folderWidth_, 1, TRUE);
    MoveWindow(list_, 1, 2, std::max(3, cw - 2), std::max(3, nameY - 3), TRUE);
    MoveWindow(nameLabel_, 1, nameY, kLabelWidth, 1, TRUE);
    MoveWindow(name_, fieldX, nameY, fieldW, 1, TRUE);
    MoveWindow(typeLabel_, 1, typeY, kLabelWidth, 1, TRUE);
    MoveWindow(types_, fieldX, typeY, fieldW, 1, TRUE);
    MoveWindow(ok_, buttonX, nameY, buttonWidth, 1, TRUE);
    MoveWindow(cancel_, buttonX, typeY, buttonWidth, 1, TRUE);
    if (!folder_.empty()) {
        SetWindowTextW(folderLabel_, Literal(Shortened(folder_, folderWidth_)).c_str());
    }
}

void OpenDialog::init(HWND hDlg) {
    dialog_ = hDlg;
    lookInLabel_ = GetDlgItem(hDlg, kOpenFileLookInLabel);
    folderLabel_ = GetDlgItem(hDlg, kOpenFileFolder);
    list_ = GetDlgItem(hDlg, kOpenFileList);
    nameLabel_ = GetDlgItem(hDlg, kOpenFileNameLabel);
    name_ = GetDlgItem(hDlg, kOpenFileName);
    typeLabel_ = GetDlgItem(hDlg, kOpenFileTypesLabel);
    types_ = GetDlgItem(hDlg, kOpenFileTypes);
    ok_ = GetDlgItem(hDlg, IDOK);
    cancel_ = GetDlgItem(hDlg, IDCANCEL);
    RECT screen{};
    GetWindowRect(GetDesktopWindow(), &screen);
    layOut(screen.right - screen.left, screen.bottom - screen.top);
    SendMessageW(types_, CB_SETMINVISIBLE,
                 static_cast<WPARAM>(std::clamp(static_cast<int>(filters_.size()), 1, 8)), 0);
    for (const FileFilter& f : filters_) {
        SendMessageW(types_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(f.description.c_str()));
    }
    if (filters_.empty()) {
        EnableWindow(types_, FALSE);
    } else {
        const DWORD index = ofn_.nFilterIndex;
        filterIndex_ = index >= 1 && index <= filters_.size() ? static_cast<int>(index) : 1;
        SendMessageW(types_, CB_SETCURSEL, static_cast<WPARAM>(filterIndex_ - 1), 0);
    }
    // A name the caller passed in: a pattern lists by it, anything else waits in the field.
    std::u16string initial;
    for (DWORD i = 0; i < ofn_.nMaxFile && ofn_.lpstrFile[i] != 0; ++i) {
        initial += ofn_.lpstrFile[i];
    }
    if (HasWildcard(initial) && initial.find(u'/') == std::u16string::npos) {
        typedPattern_ = initial;
    }
    SetWindowTextW(name_, initial.c_str());
    showFolder(StartFolder(ofn_.lpstrInitialDir));
    SetFocus(name_);
}

std::vector<std::u16string> OpenDialog::patterns() const {
    if (!typedPattern_.empty()) {
        return SplitPatterns(typedPattern_);
    }
    if (filters_.empty()) {
        return {};
    }
    return filters_[static_cast<std::size_t>(filterIndex_ - 1)].patterns;
}

bool OpenDialog::showFolder(const std::string& folder, const std::string& select) {
    FolderContents contents = ListFolder(folder, patterns());
    if (contents.error) {
        const std::u16string reason = text::Utf8ToUtf16(contents.error.message());
        const std::u16string message =
            text::PathFromBytes(folder) + u"\nThis folder cannot be read: " + reason + u".";
        MessageBoxW(dialog_, message.c_str(), caption_.c_str(), MB_OK | MB_ICONERROR);
        return false;
    }
    folder_ = folder;
    entries_ = std::move(contents.entries);
    SendMessageW(list_, LB_RESETCONTENT, 0, 0);
    int selected = -1;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entries_[i].shown.c_str()));
        if (!select.empty() && entries_[i].name == select) {
            selected = static_cast<int>(i);
        }
    }
    if (selected >= 0) {
        SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    }
    SetWindowTextW(folderLabel_, Literal(Shortened(folder_, folderWidth_)).c_str());
    return true;
}

std::u16string OpenDialog::nameText() const {
    std::u16string s(static_cast<std::size_t>(GetWindowTextLengthW(name_)) + 1, u'\0');
    s.resize(static_cast<std::size_t>(GetWindowTextW(name_, s.data(), static_cast<int>(s.size()))));
    return s;
}

void OpenDialog::activate(int index) {
    if (index < 0 || index >= static_cast<int>(entries_.size())) {
        return;
    }
    const FolderEntry entry = entries_[static_cast<std::size_t>(index)];
    if (!entry.folder) {
        choose(ResolvePath(folder_, entry.name));
        return;
    }
    // A name the list put in the field belongs to the folder being left.
    if (!fromList_.empty() && nameText() == fromList_) {
        SetWindowTextW(name_, u"");
    }
    fromList_.clear();
    if (entry.name == "..") {
        // Back in the parent, the folder just left stays selected.
        const std::string left = folder_.substr(folder_.rfind('/') + 1);
        showFolder(ResolvePath(folder_, ".."), left);
    } else {
        showFolder(ResolvePath(folder_, entry.name));
    }
}

void OpenDialog::tell(const std::string& path, const char16_t* what) {
    const std::u16string message = text::PathFromBytes(path) + u"\n" + what;
    MessageBoxW(dialog_, message.c_str(), caption_.c_str(), MB_OK | MB_ICONERROR);
}

void OpenDialog::ok() {
    const int selected = static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0));
    const std::u16string typed = nameText();
    const bool inList = GetFocus() == list_;
    if (selected >= 0 &&
        (inList || (typed.empty() && entries_[static_cast<std::size_t>(selected)].folder))) {
        activate(selected);
        return;
    }
    const TypedName t = InterpretTypedName(folder_, typed, rules_);
    switch (t.kind) {
    case TypedName::Kind::Nothing:
        return;
    case TypedName::Kind::Folder:
        if (showFolder(t.path)) {
            SetWindowTextW(name_, u"");
        }
        return;
    case TypedName::Kind::Pattern: {
        const std::u16string previous = typedPattern_;
        typedPattern_ = t.pattern;
        if (showFolder(t.path)) {
            SetWindowTextW(name_, t.pattern.c_str());
            SendMessageW(name_, EM_SETSEL, 0, -1);
        } else {
            typedPattern_ = previous;
        }
        return;
    }
    case TypedName::Kind::File:
        choose(t.path);
        return;
    case TypedName::Kind::MissingFolder:
        tell(t.path, u"This folder does not exist.");
        return;
    case TypedName::Kind::MissingFile:
        tell(t.path, u"This file does not exist. Check the name and the folder.");
        return;
    }
}

void OpenDialog::choose(const std::string& path) {
    // A path the caller's buffer cannot take, or its 16-bit offsets cannot
    // describe, could only end the dialog as a failure the user never sees
    // explained: it is refused here, and another name can be given.
    const std::size_t length = text::PathFromBytes(path).size();
    const std::size_t longest = std::min<std::size_t>(ofn_.nMaxFile - 1, 0xFFFF);
    if (length > longest) {
        const std::u16string message = u"The path of this file is too long to open: it has " +
                                       Grouped(length) + u" characters, and at most " +
                                       Grouped(longest) + u" fit.";
        MessageBoxW(dialog_, message.c_str(), caption_.c_str(), MB_OK | MB_ICONERROR);
        return;
    }
    answer_ = path;
    EndDialog(dialog_, IDOK);
}

INT_PTR OpenDialog::handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DISPLAYCHANGE) {
        // Laid out anew for each screen, the dialog fits any.
        layOut(LOWORD(static_cast<ULONG_PTR>(lParam)), HIWORD(static_cast<ULONG_PTR>(lParam)));
        return TRUE;
    }
    if (msg != WM_COMMAND) {
        return FALSE;
    }
    const int id = LOWORD(wParam), code = HIWORD(wParam);
    switch (id) {
    case IDOK:
        ok();
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog_, IDCANCEL);
        return TRUE;
    case kOpenFileList: {
        const int selected = static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0));
        if (selected < 0 || selected >= static_cast<int>(entries_.size())) {
            return TRUE;
        }
        if (code == LBN_SELCHANGE && !entries_[static_cast<std::size_t>(selected)].folder) {
            fromList_ = entries_[static_cast<std::size_t>(selected)].shown;
            SetWindowTextW(name_, fromList_.c_str());
        } else if (code == LBN_DBLCLK) {
            activate(selected);
        }
        return TRUE;
    }
    case kOpenFileTypes:
        if (code == CBN_SELCHANGE) {
            const auto index = static_cast<int>(SendMessageW(types_, CB_GETCURSEL, 0, 0));
            if (index >= 0) {
                filterIndex_ = index + 1;
                typedPattern_.clear();
                if (HasWildcard(nameText())) {
                    SetWindowTextW(name_, u"");
                }
                showFolder(folder_);
            }
        }
        return TRUE;
    default:
        return TRUE;
    }
}

// Where the name starts and where its extension starts, as OPENFILENAMEW
// reports them: no extension points at the terminating zero, a name ending in
// '.' gives 0.
void SetOffsets(OPENFILENAMEW& ofn, const std::u16string& path) {
    const std::size_t nameAt = path.rfind(u'/') + 1;
    const std::size_t dot = path.rfind(u'.');
    std::size_t extensionAt = path.size();
    if (dot != std::u16string::npos && dot > nameAt) {
        extensionAt = dot + 1 == path.size() ? 0 : dot + 1;
    }
    ofn.nFileOffset = static_cast<WORD>(nameAt);
    ofn.nFileExtension = static_cast<WORD>(extensionAt);
}

} // namespace
} // namespace comdlg32

BOOL GetOpenFileNameW(LPOPENFILENAMEW lpofn) {
    if (lpofn == nullptr || lpofn->lpstrFile == nullptr || lpofn->nMaxFile == 0) {
        return FALSE;
    }
    OPENFILENAMEW& ofn = *lpofn;
    comdlg32::OpenDialog dialog(ofn);
    if (!dialog.run()) {
        return FALSE;
    }
    const std::u16string path = text::PathFromBytes(dialog.answer());
    // The offsets are 16-bit: a longer path cannot be described, so it is
    // refused like one that does not fit the caller's buffer.
    if (path.size() + 1 > ofn.nMaxFile || path.size() > 0xFFFF) {
        return FALSE;
    }
    std::copy(path.begin(), path.end(), ofn.lpstrFile);
    ofn.lpstrFile[path.size()] = 0;
    comdlg32::SetOffsets(ofn, path);
    if (ofn.lpstrFilter != nullptr && ofn.lpstrFilter[0] != 0) {
        ofn.nFilterIndex = static_cast<DWORD>(dialog.filterIndex());
    }
    if (ofn.lpstrFileTitle != nullptr && ofn.nMaxFileTitle > 0) {
        const std::u16string title = path.substr(ofn.nFileOffset);
        const std::size_t n = std::min<std::size_t>(title.size(), ofn.nMaxFileTitle - 1);
        std::copy_n(title.begin(), n, ofn.lpstrFileTitle);
        ofn.lpstrFileTitle[n] = 0;
    }
    return TRUE;
}
