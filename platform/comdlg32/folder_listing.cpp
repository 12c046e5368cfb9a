#include "platform/comdlg32/folder_listing.h"

#include "platform/comdlg32/file_filter.h"
#include "platform/text/path_text.h"

#include <algorithm>
#include <filesystem>

namespace comdlg32 {

namespace fs = std::filesystem;

FolderContents ListFolder(const std::string& folder, const std::vector<std::u16string>& patterns) {
    FolderContents out;
    fs::directory_iterator it(fs::path(folder), out.error);
    if (out.error) {
        return out;
    }
    struct Keyed {
        NameKey key;
        FolderEntry entry;
        bool operator<(const Keyed& o) const { return key < o.key; }
    };
    std::vector<Keyed> folders, files;
    for (; it != fs::directory_iterator(); it.increment(out.error)) {
        if (out.error) {
            // The folder went away or became unreadable while being read:
            // show what was read rather than nothing.
            out.error.clear();
            break;
        }
        FolderEntry e;
        e.name = it->path().filename().string();
        if (e.name.empty() || e.name.front() == '.') {
            continue;
        }
        std::error_code ec;
        e.folder = it->is_directory(ec); // follows links, so a link to a folder is one
        e.shown = text::PathFromBytes(e.name);
        if (e.folder) {
            folders.push_back({MakeNameKey(e.shown), std::move(e)});
        } else if (MatchesAny(patterns, e.shown)) {
            files.push_back({MakeNameKey(e.shown), std::move(e)});
        }
    }
    std::sort(folders.begin(), folders.end());
    std::sort(files.begin(), files.end());

    if (fs::path(folder).has_relative_path()) {
        out.entries.push_back(FolderEntry{"..", u"../", true});
    }
    out.entries.reserve(out.entries.size() + folders.size() + files.size());
    for (Keyed& f : folders) {
        f.entry.shown += u'/';
        out.entries.push_back(std::move(f.entry));
    }
    for (Keyed& f : files) {
        out.entries.push_back(std::move(f.entry));
    }
    return out;
}

} // namespace comdlg32
