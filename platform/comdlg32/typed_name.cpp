#include "platform/comdlg32/typed_name.h"

#include "platform/comdlg32/file_filter.h"
#include "platform/text/path_text.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace comdlg32 {
namespace {

namespace fs = std::filesystem;

bool IsDirectory(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(fs::path(path), ec);
}

// Anything at all under that name, a link to nothing included.
bool Exists(const std::string& path) {
    std::error_code ec;
    return fs::symlink_status(fs::path(path), ec).type() != fs::file_type::not_found && !ec;
}

std::string ParentOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool HasExtension(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    return dot != std::string::npos && dot > 0; // ".profile" is a name, not an extension
}

// The one entry of path's folder whose name equals path's name apart from
// case; empty when there is none or more than one.
std::string MatchIgnoringCase(const std::string& path) {
    const std::u16string want = text::PathFromBytes(NameOf(path));
    std::error_code ec;
    fs::directory_iterator it(fs::path(ParentOf(path)), ec);
    std::string found;
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        // The name has no wildcards, so matching it is comparing without case.
        if (MatchesPattern(want, text::PathFromBytes(name))) {
            if (!found.empty()) {
                return {};
            }
            found = it->path().string();
        }
    }
    return found;
}

std::u16string Trimmed(std::u16string_view s) {
    while (!s.empty() && (s.front() == u' ' || s.front() == u'\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == u' ' || s.back() == u'\t')) {
        s.remove_suffix(1);
    }
    // A name in quotes, as pasted from elsewhere, means the name.
    if (s.size() >= 2 && s.front() == u'"' && s.back() == u'"') {
        s = s.substr(1, s.size() - 2);
    }
    return std::u16string(s);
}

std::string ExpandHome(std::string typed) {
    if (typed == "~" || typed.rfind("~/", 0) == 0) {
        if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
            return std::string(home) + typed.substr(1);
        }
    }
    return typed;
}

} // namespace

std::string ResolvePath(const std::string& currentFolder, const std::string& typed) {
    const std::string joined =
        !typed.empty() && typed.front() == '/' ? typed : currentFolder + "/" + typed;
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= joined.size()) {
        std::size_t end = joined.find('/', start);
        if (end == std::string::npos) {
            end = joined.size();
        }
        const std::string part = joined.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string out;
    for (const std::string& part : parts) {
        out += "/" + part;
    }
    return out.empty() ? "/" : out;
}

std::u16string DefaultExtension(std::u16string_view given) {
    if (given.substr(0, 2) == u"*.") {
        given.remove_prefix(2);
    } else if (given.substr(0, 1) == u".") {
        given.remove_prefix(1);
    }
    if (HasWildcard(given)) {
        return {};
    }
    return std::u16string(given);
}

TypedName InterpretTypedName(const std::string& currentFolder, std::u16string_view typedText,
                             const TypedNameRules& rules) {
    using Kind = TypedName::Kind;
    const std::u16string typed16 = Trimmed(typedText);
    if (typed16.empty()) {
        return {};
    }
    const std::string typed = ExpandHome(text::PathToBytes(typed16));

    const std::size_t slash = typed.rfind('/');
    const std::string last = slash == std::string::npos ? typed : typed.substr(slash + 1);
    if (HasWildcard(text::PathFromBytes(last))) {
        const std::string folderPart =
            slash == std::string::npos ? "." : (slash == 0 ? "/" : typed.substr(0, slash));
        const std::string folder = ResolvePath(currentFolder, folderPart);
        if (!IsDirectory(folder)) {
            return {Kind::MissingFolder, folder, {}};
        }
        return {Kind::Pattern, folder, text::PathFromBytes(last)};
    }

    const std::string path = ResolvePath(currentFolder, typed);
    if (IsDirectory(path)) {
        return {Kind::Folder, path, {}};
    }
    if (typed.back() == '/') {
        return {Kind::MissingFolder, path, {}};
    }
    if (Exists(path)) {
        return {Kind::File, path, {}};
    }
    std::string answer = path;
    const std::u16string extension = DefaultExtension(rules.defaultExtension);
    if (!HasExtension(NameOf(path)) && !extension.empty()) {
        answer = path + "." + text::PathToBytes(extension);
    }
    if (answer != path && Exists(answer)) {
        return {IsDirectory(answer) ? Kind::Folder : Kind::File, answer, {}};
    }
    std::vector<std::string> candidates{path};
    if (answer != path) {
        candidates.push_back(answer);
    }
    for (const std::string& candidate : candidates) {
        const std::string found = MatchIgnoringCase(candidate);
        if (!found.empty()) {
            return {IsDirectory(found) ? Kind::Folder : Kind::File, found, {}};
        }
    }
    if ((rules.pathMustExist || rules.fileMustExist) && !IsDirectory(ParentOf(answer))) {
        return {Kind::MissingFolder, ParentOf(answer), {}};
    }
    if (rules.fileMustExist) {
        return {Kind::MissingFile, answer, {}};
    }
    return {Kind::File, answer, {}};
}

} // namespace comdlg32
