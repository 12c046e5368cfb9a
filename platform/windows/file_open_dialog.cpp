// The open-file common dialog as a modal window of the window system: the
// folder being shown, a list of its folders (with ".." for the parent) and a
// list of its files that match the chosen filter, a typed name or path, and
// the filter list. It answers the chosen file's full path.
#include "platform/text/unicode.h"
#include "platform/win32/commdlg.h"
#include "platform/win32/user.h"
#include "platform/windows/button.h"
#include "platform/windows/combo_box.h"
#include "platform/windows/dialog.h"
#include "platform/windows/dialog_manager.h"
#include "platform/windows/edit.h"
#include "platform/windows/file_filter.h"
#include "platform/windows/list_box.h"
#include "platform/windows/static_control.h"
#include "platform/windows/system.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <system_error>

namespace fs = std::filesystem;

namespace windows {
namespace {

constexpr int kFolderLabel = 100;
constexpr int kFolders = 101;
constexpr int kFiles = 102;
constexpr int kName = 104;
constexpr int kType = 106;

std::u16string Wide(const std::string& utf8) {
    return text::Utf8ToUtf16(utf8);
}

fs::path PathOf(std::u16string_view wide) {
    return fs::path(text::Utf16ToUtf8(wide));
}

bool Hidden(const fs::path& p) {
    const std::string name = p.filename().string();
    return !name.empty() && name[0] == '.';
}

struct OpenState {
    LPOPENFILENAMEW ofn = nullptr;
    std::vector<FileFilter> filters;
    std::size_t filterIndex = 0;
    std::vector<std::u16string> typedPatterns; // a pattern typed as the name
    std::u16string defaultExtension;
    fs::path folder;
    fs::path chosen;
    HWND dialog = nullptr;
    std::vector<fs::path> folderEntries; // parallel to the folder list
};

const std::vector<std::u16string>& CurrentPatterns(const OpenState& s) {
    static const std::vector<std::u16string> all{u"*"};
    if (!s.typedPatterns.empty()) {
        return s.typedPatterns;
    }
    return s.filters.empty() ? all : s.filters[s.filterIndex].patterns;
}

void SortNoCase(std::vector<std::pair<std::u16string, fs::path>>& v) {
    std::sort(v.begin(), v.end(),
              [](const auto& a, const auto& b) { return CompareNoCase(a.first, b.first) < 0; });
}

void Fill(OpenState& s) {
    HWND folders = GetDlgItem(s.dialog, kFolders);
    HWND files = GetDlgItem(s.dialog, kFiles);
    SendMessageW(folders, LB_RESETCONTENT, 0, 0);
    SendMessageW(files, LB_RESETCONTENT, 0, 0);
    s.folderEntries.clear();

    const std::u16string label = u"Folder: " + Wide(s.folder.string());
    SetWindowTextW(GetDlgItem(s.dialog, kFolderLabel), label.c_str());

    if (s.folder.has_parent_path() && s.folder.parent_path() != s.folder) {
        SendMessageW(folders, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u".."));
        s.folderEntries.push_back(s.folder.parent_path());
    }
    std::vector<std::pair<std::u16string, fs::path>> dirs, names;
    std::error_code ec;
    for (fs::directory_iterator it(s.folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& p = it->path();
        if (Hidden(p)) {
            continue;
        }
        std::error_code typeError;
        if (it->is_directory(typeError)) {
            dirs.emplace_back(Wide(p.filename().string()), p);
        } else if (it->is_regular_file(typeError)) {
            const std::u16string name = Wide(p.filename().string());
            if (MatchesAny(CurrentPatterns(s), name)) {
                names.emplace_back(name, p);
            }
        }
    }
    SortNoCase(dirs);
    SortNoCase(names);
    for (const auto& [name, path] : dirs) {
        SendMessageW(folders, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        s.folderEntries.push_back(path);
    }
    for (const auto& [name, path] : names) {
        SendMessageW(files, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
}

void EnterFolder(OpenState& s, const fs::path& folder) {
    std::error_code ec;
    fs::path canonical = fs::weakly_canonical(folder, ec);
    s.folder = ec ? folder.lexically_normal() : canonical;
    Fill(s);
}

std::u16string ItemText(HWND list, int index) {
    const auto len = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (len < 0) {
        return {};
    }
    std::u16string s(static_cast<std::size_t>(len) + 1, u'\0');
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.data()));
    s.resize(static_cast<std::size_t>(len));
    return s;
}

std::u16string WindowText(HWND w) {
    std::u16string s(static_cast<std::size_t>(GetWindowTextLengthW(w)) + 1, u'\0');
    s.resize(static_cast<std::size_t>(GetWindowTextW(w, s.data(), static_cast<int>(s.size()))));
    return s;
}

void OpenSelectedFolder(OpenState& s) {
    const auto index = SendMessageW(GetDlgItem(s.dialog, kFolders), LB_GETCURSEL, 0, 0);
    if (index >= 0 && static_cast<std::size_t>(index) < s.folderEntries.size()) {
        EnterFolder(s, s.folderEntries[static_cast<std::size_t>(index)]);
    }
}

// The typed name: a folder to show, a pattern to filter by, or the file.
void Accept(OpenState& s) {
    HWND nameField = GetDlgItem(s.dialog, kName);
    std::u16string typed = WindowText(nameField);
    if (typed.empty()) {
        const HWND files = GetDlgItem(s.dialog, kFiles);
        const auto index = SendMessageW(files, LB_GETCURSEL, 0, 0);
        if (index < 0) {
            return;
        }
        typed = ItemText(files, static_cast<int>(index));
    }
    std::string utf8 = text::Utf16ToUtf8(typed);
    if (utf8.size() >= 1 && utf8[0] == '~' && (utf8.size() == 1 || utf8[1] == '/')) {
        if (const char* home = std::getenv("HOME")) {
            utf8 = home + utf8.substr(1);
        }
    }
    fs::path p(utf8);
    if (p.is_relative()) {
        p = s.folder / p;
    }
    p = p.lexically_normal();
    std::error_code ec;
    if (fs::is_directory(p, ec)) {
        EnterFolder(s, p);
        SetWindowTextW(nameField, u"");
        return;
    }
    const std::u16string leaf = Wide(p.filename().string());
    if (leaf.find_first_of(u"*?") != std::u16string::npos) {
        s.typedPatterns = {leaf};
        EnterFolder(s, p.parent_path());
        return;
    }
    if (!p.has_extension() && !s.defaultExtension.empty() && !fs::exists(p, ec)) {
        p += "." + text::Utf16ToUtf8(s.defaultExtension);
    }
    const DWORD flags = s.ofn->Flags;
    if ((flags & OFN_FILEMUSTEXIST) != 0 && !fs::exists(p, ec)) {
        const std::u16string message =
            Wide(p.string()) + u"\nFile not found.\nCheck the file name and try again.";
        MessageBoxW(s.dialog, message.c_str(), u"Open", MB_OK);
        return;
    }
    if ((flags & OFN_PATHMUSTEXIST) != 0 && !fs::is_directory(p.parent_path(), ec)) {
        const std::u16string message = Wide(p.parent_path().string()) +
                                       u"\nPath does not exist.\nCheck the path and try again.";
        MessageBoxW(s.dialog, message.c_str(), u"Open", MB_OK);
        return;
    }
    s.chosen = p;
    EndDialog(s.dialog, IDOK);
}

INT_PTR Command(OpenState& s, int id, int code) {
    System& sys = System::get();
    switch (id) {
    case kFolders:
        if (code == LBN_DBLCLK) {
            OpenSelectedFolder(s);
        }
        return TRUE;
    case kFiles:
        if (code == LBN_SELCHANGE || code == LBN_DBLCLK) {
            const HWND files = GetDlgItem(s.dialog, kFiles);
            const auto index = SendMessageW(files, LB_GETCURSEL, 0, 0);
            if (index >= 0) {
                SetWindowTextW(GetDlgItem(s.dialog, kName),
                               ItemText(files, static_cast<int>(index)).c_str());
            }
        }
        if (code == LBN_DBLCLK) {
            Accept(s);
        }
        return TRUE;
    case kType:
        if (code == CBN_SELCHANGE) {
            const auto index = SendMessageW(GetDlgItem(s.dialog, kType), CB_GETCURSEL, 0, 0);
            if (index >= 0) {
                s.filterIndex = static_cast<std::size_t>(index);
                s.typedPatterns.clear();
                Fill(s);
            }
        }
        return TRUE;
    case IDOK:
        // Enter on the folder list opens the folder instead of the file.
        if (sys.focus() != nullptr && sys.focus()->id == kFolders) {
            OpenSelectedFolder(s);
        } else {
            Accept(s);
        }
        return TRUE;
    case IDCANCEL:
        EndDialog(s.dialog, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

template <typename T> T* Add(Dialog* d, int id, DWORD style, CellRect r, std::u16string_view text) {
    System& sys = System::get();
    auto* w = static_cast<T*>(sys.adopt(std::make_unique<T>(), d));
    w->id = id;
    w->style = WS_CHILD | WS_VISIBLE | style;
    w->rect = r;
    w->setText(text);
    w->moved();
    return w;
}

fs::path StartFolder(const OPENFILENAMEW& ofn, std::u16string& initialName) {
    std::error_code ec;
    if (ofn.lpstrFile != nullptr && ofn.lpstrFile[0] != 0) {
        const fs::path given = PathOf(ofn.lpstrFile);
        if (given.has_parent_path() && fs::is_directory(given.parent_path(), ec)) {
            initialName = Wide(given.filename().string());
            return given.parent_path();
        }
        initialName = ofn.lpstrFile;
    }
    if (ofn.lpstrInitialDir != nullptr && fs::is_directory(PathOf(ofn.lpstrInitialDir), ec)) {
        return PathOf(ofn.lpstrInitialDir);
    }
    fs::path here = fs::current_path(ec);
    return ec ? fs::path("/") : here;
}

} // namespace
} // namespace windows

BOOL GetOpenFileNameW(LPOPENFILENAMEW lpofn) {
    using namespace windows;
    if (lpofn == nullptr || lpofn->lpstrFile == nullptr || lpofn->nMaxFile == 0) {
        return FALSE;
    }
    System& sys = System::get();
    OpenState s;
    s.ofn = lpofn;
    s.filters = ParseFilterList(lpofn->lpstrFilter);
    if (!s.filters.empty()) {
        s.filterIndex = std::min<std::size_t>(lpofn->nFilterIndex > 0 ? lpofn->nFilterIndex - 1 : 0,
                                              s.filters.size() - 1);
    }
    if (lpofn->lpstrDefExt != nullptr) {
        // The extension without a leading "*." or ".", so "*.TXT" means TXT.
        std::u16string_view ext = lpofn->lpstrDefExt;
        while (!ext.empty() && (ext.front() == u'*' || ext.front() == u'.')) {
            ext.remove_prefix(1);
        }
        s.defaultExtension = ext;
    }
    std::u16string initialName;
    s.folder = StartFolder(*lpofn, initialName);
    {
        std::error_code ec;
        const fs::path canonical = fs::weakly_canonical(s.folder, ec);
        if (!ec) {
            s.folder = canonical;
        }
    }

    const int screenW = sys.screenWidth(), screenH = sys.screenHeight();
    const int width = std::min(screenW, 64), height = std::min(screenH, 20);
    const int cw = width - 2, ch = height - 2;
    auto dialog = std::make_unique<Dialog>();
    Dialog* d = dialog.get();
    d->style = WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_MODALFRAME;
    d->setText(lpofn->lpstrTitle != nullptr ? lpofn->lpstrTitle : u"Open");
    d->owner = sys.find(lpofn->hwndOwner) != nullptr ? lpofn->hwndOwner : nullptr;
    d->templateWidth = width;
    d->templateHeight = height;
    d->place(screenW, screenH);
    sys.adopt(std::move(dialog), sys.desktop());

    const int listH = std::max(3, ch - 5);
    const int foldersW = (cw - 3) / 2;
    const int fieldX = 16, fieldW = std::max(4, cw - fieldX - 1);
    Add<StaticControl>(d, kFolderLabel, 0, CellRect{1, 0, cw - 2, 1}, u"");
    Add<ListBox>(d, kFolders, WS_BORDER | WS_TABSTOP, CellRect{1, 1, foldersW, listH}, u"Folders");
    Add<ListBox>(d, kFiles, WS_BORDER | WS_TABSTOP,
                 CellRect{2 + foldersW, 1, cw - 3 - foldersW, listH}, u"Files");
    Add<StaticControl>(d, -1, 0, CellRect{1, ch - 4, fieldX - 2, 1}, u"File &name:");
    Add<Edit>(d, kName, WS_TABSTOP | ES_AUTOHSCROLL, CellRect{fieldX, ch - 4, fieldW, 1},
              initialName);
    Add<StaticControl>(d, -1, 0, CellRect{1, ch - 3, fieldX - 2, 1}, u"Files of &type:");
    auto* type = Add<ComboBox>(d, kType, WS_TABSTOP | CBS_DROPDOWNLIST,
                               CellRect{fieldX, ch - 3, fieldW, 1}, u"");
    type->listRows = 4;
    Add<PushButton>(d, IDOK, WS_TABSTOP | BS_DEFPUSHBUTTON, CellRect{cw - 23, ch - 1, 10, 1},
                    u"Open");
    Add<PushButton>(d, IDCANCEL, WS_TABSTOP, CellRect{cw - 12, ch - 1, 10, 1}, u"Cancel");

    d->builtinProc = [&s](HWND hDlg, UINT msg, WPARAM wParam, LPARAM) -> INT_PTR {
        if (msg == WM_INITDIALOG) {
            s.dialog = hDlg;
            HWND typeBox = GetDlgItem(hDlg, kType);
            for (const auto& f : s.filters) {
                SendMessageW(typeBox, CB_ADDSTRING, 0,
                             reinterpret_cast<LPARAM>(f.description.c_str()));
            }
            SendMessageW(typeBox, CB_SETCURSEL, s.filterIndex, 0);
            Fill(s);
            SetFocus(GetDlgItem(hDlg, kName));
            return FALSE;
        }
        if (msg == WM_COMMAND) {
            return Command(s, LOWORD(wParam), HIWORD(wParam));
        }
        return FALSE;
    };
    if (RunModal(d, 0) != IDOK) {
        return FALSE;
    }

    const std::u16string path = Wide(s.chosen.string());
    if (path.size() + 1 > lpofn->nMaxFile) {
        return FALSE; // the caller's buffer cannot hold the path
    }
    std::copy(path.begin(), path.end(), lpofn->lpstrFile);
    lpofn->lpstrFile[path.size()] = 0;
    const std::size_t slash = path.rfind(u'/');
    const std::size_t nameAt = slash == std::u16string::npos ? 0 : slash + 1;
    const std::size_t dot = path.rfind(u'.');
    lpofn->nFileOffset = static_cast<WORD>(nameAt);
    lpofn->nFileExtension =
        static_cast<WORD>(dot != std::u16string::npos && dot > nameAt ? dot + 1 : path.size());
    lpofn->nFilterIndex = static_cast<DWORD>(s.filterIndex + 1);
    if (lpofn->lpstrFileTitle != nullptr && lpofn->nMaxFileTitle > 0) {
        const std::u16string title = path.substr(nameAt);
        const std::size_t n = std::min<std::size_t>(title.size(), lpofn->nMaxFileTitle - 1);
        std::copy_n(title.begin(), n, lpofn->lpstrFileTitle);
        lpofn->lpstrFileTitle[n] = 0;
    }
    return TRUE;
}
