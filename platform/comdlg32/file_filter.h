// The file-type filters of the open dialog: OPENFILENAMEW's filter list
// (description and patterns, each zero-terminated, the list ended by an empty
// string) and the wildcard patterns a name is matched against.
//
// Names match patterns the way the original platform's file system does:
// without regard to case, so "notes.txt" is a "*.TXT" file; '*' is any run of
// characters, '?' any one; a pattern ending in ".*" also takes names without
// an extension, so "*.*" is every file.
#pragma once

#include "platform/win32/types.h"

#include <string>
#include <string_view>
#include <vector>

namespace comdlg32 {

struct FileFilter {
    std::u16string description;
    std::vector<std::u16string> patterns; // empty: every file
};

// The filters in the order given. A description without its pattern string
// ends the list; a null list has no filters.
std::vector<FileFilter> ParseFilterList(LPCWSTR filter);

// "*.txt; *.log" -> {"*.txt", "*.log"}: split at ';', blanks around each
// pattern dropped, empty patterns left out.
std::vector<std::u16string> SplitPatterns(std::u16string_view patterns);

bool HasWildcard(std::u16string_view s);

bool MatchesPattern(std::u16string_view pattern, std::u16string_view name);

// Whether name matches one of the patterns; no patterns match everything.
bool MatchesAny(const std::vector<std::u16string>& patterns, std::u16string_view name);

// How the listing sorts names: without regard to case first, then by code
// point so that the order is total. Made once per name, so that sorting a
// large folder does not fold the same names again at every comparison.
struct NameKey {
    std::u32string folded;
    std::u32string exact;
    bool operator<(const NameKey& o) const {
        return folded != o.folded ? folded < o.folded : exact < o.exact;
    }
};
NameKey MakeNameKey(std::u16string_view name);

} // namespace comdlg32
