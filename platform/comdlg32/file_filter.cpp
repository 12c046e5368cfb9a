#include "platform/comdlg32/file_filter.h"

#include "platform/text/fold_case.h"
#include "platform/text/unicode.h"

namespace comdlg32 {
namespace {

// The code points of a name, a surrogate pair as one; a lone surrogate
// stays itself and matches only itself.
std::u32string CodePoints(std::u16string_view s) {
    return text::Utf16ToUtf32(s, text::LoneSurrogates::kKeep);
}

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

// '*' and '?' over code points, with the usual single backtrack point: on a
// mismatch the last '*' takes one more character. Linear in practice, never
// worse than the product of the lengths.
bool Match(std::u32string_view p, std::u32string_view s) {
    std::size_t pi = 0, si = 0;
    std::size_t star = std::u32string_view::npos, starFrom = 0;
    while (si < s.size()) {
        if (pi < p.size() &&
            (p[pi] == U'?' || (p[pi] != U'*' && text::FoldCase(p[pi]) == text::FoldCase(s[si])))) {
            ++pi;
            ++si;
        } else if (pi < p.size() && p[pi] == U'*') {
            star = pi++;
            starFrom = si;
        } else if (star != std::u32string_view::npos) {
            pi = star + 1;
            si = ++starFrom;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == U'*') {
        ++pi;
    }
    return pi == p.size();
}

bool MatchName(std::u32string_view p, std::u32string_view s) {
    if (Match(p, s)) {
        return true;
    }
    // "name.*" also stands for "name" with no extension at all.
    return p.size() >= 2 && p.substr(p.size() - 2) == U".*" &&
           s.find(U'.') == std::u32string_view::npos && Match(p.substr(0, p.size() - 2), s);
}

} // namespace

std::vector<FileFilter> ParseFilterList(LPCWSTR filter) {
    std::vector<FileFilter> filters;
    if (filter == nullptr) {
        return filters;
    }
    const char16_t* p = filter;
    while (*p != 0) {
        const std::u16string_view description(p);
        p += description.size() + 1;
        if (*p == 0) {
            break; // a description with no patterns: the list is malformed here
        }
        const std::u16string_view patterns(p);
        p += patterns.size() + 1;
        filters.push_back(FileFilter{std::u16string(description), SplitPatterns(patterns)});
    }
    return filters;
}

std::vector<std::u16string> SplitPatterns(std::u16string_view patterns) {
    std::vector<std::u16string> out;
    std::size_t start = 0;
    while (start <= patterns.size()) {
        std::size_t end = patterns.find(u';', start);
        if (end == std::u16string_view::npos) {
            end = patterns.size();
        }
        std::u16string_view one = patterns.substr(start, end - start);
        while (!one.empty() && IsBlank(one.front())) {
            one.remove_prefix(1);
        }
        while (!one.empty() && IsBlank(one.back())) {
            one.remove_suffix(1);
        }
        if (!one.empty()) {
            out.emplace_back(one);
        }
        start = end + 1;
    }
    return out;
}

bool HasWildcard(std::u16string_view s) {
    return s.find_first_of(u"*?") != std::u16string_view::npos;
}

bool MatchesPattern(std::u16string_view pattern, std::u16string_view name) {
    return MatchName(CodePoints(pattern), CodePoints(name));
}

bool MatchesAny(const std::vector<std::u16string>& patterns, std::u16string_view name) {
    if (patterns.empty()) {
        return true;
    }
    const std::u32string s = CodePoints(name);
    for (const std::u16string& p : patterns) {
        if (MatchName(CodePoints(p), s)) {
            return true;
        }
    }
    return false;
}

NameKey MakeNameKey(std::u16string_view name) {
    NameKey key{{}, CodePoints(name)};
    key.folded.reserve(key.exact.size());
    for (char32_t c : key.exact) {
        key.folded += text::FoldCase(c);
    }
    return key;
}

} // namespace comdlg32
