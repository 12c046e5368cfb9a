// What a name typed into the open dialog asks for, decided against the file
// system: a folder to go into, a pattern to list by, or a file to answer.
//
//   - a name or path, relative to the current folder or absolute ("~" is the
//     home folder), is made absolute and tidied ("a/../b" is "b");
//   - an existing folder is gone into; an existing file of any kind is the
//     answer (opening it is the caller's business);
//   - a last part with '*' or '?' becomes the listing's pattern, in the
//     folder before it;
//   - a name that does not exist and has no extension takes the default
//     extension, given as "TXT", ".TXT" or "*.TXT" alike ("notes" becomes
//     "notes.TXT"); a default with wildcards in it adds nothing;
//   - where the exact name does not exist but exactly one entry of its folder
//     has the same name apart from case, that entry is meant ("NOTES.TXT"
//     finds notes.txt), as the original platform's file system would;
//   - a name that still does not exist is answered as typed unless the file
//     (or its folder) must exist; a path ending in '/' must be a folder.
#pragma once

#include <string>
#include <string_view>

namespace comdlg32 {

struct TypedName {
    enum class Kind {
        Nothing,       // blank
        Folder,        // path: the folder to show
        Pattern,       // path: the folder to show; pattern: the files to list
        File,          // path: the answer
        MissingFolder, // path: the folder that is not there
        MissingFile,   // path: the file that is not there
    };
    Kind kind = Kind::Nothing;
    std::string path; // absolute, as the file system spells it
    std::u16string pattern;
};

struct TypedNameRules {
    std::u16string_view defaultExtension; // as given by the caller, maybe empty
    bool fileMustExist = false;
    bool pathMustExist = false;
};

TypedName InterpretTypedName(const std::string& currentFolder, std::u16string_view typed,
                             const TypedNameRules& rules);

// The extension a name without one takes: "*.TXT", ".TXT" and "TXT" all give
// "TXT"; empty when there is none or it holds wildcards.
std::u16string DefaultExtension(std::u16string_view given);

// Joins and tidies: an absolute path with no ".", "..", doubled or trailing
// '/' (the root stays "/").
std::string ResolvePath(const std::string& currentFolder, const std::string& typed);

} // namespace comdlg32
