// What the open dialog lists for a folder: ".." (except at the root), the
// sub-folders, then the files that match the current patterns, each group
// sorted without regard to case. Names starting with '.' are hidden, as file
// managers here do; they can still be typed.
#pragma once

#include <string>
#include <system_error>
#include <vector>

namespace comdlg32 {

struct FolderEntry {
    std::string name;     // as the file system holds it: bytes, not always UTF-8
    std::u16string shown; // the same name in UTF-16, without loss (see path_text.h)
    bool folder = false;  // a folder, or a link to one
};

struct FolderContents {
    std::vector<FolderEntry> entries;
    std::error_code error; // set when the folder itself could not be read
};

// folder: an absolute path. A file whose type cannot be told (a link to
// nothing) is listed as a file.
FolderContents ListFolder(const std::string& folder, const std::vector<std::u16string>& patterns);

} // namespace comdlg32
