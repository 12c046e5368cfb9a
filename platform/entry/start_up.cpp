#include "platform/entry/start_up.h"

#include "platform/text/path_text.h"

namespace entry {
namespace {

// Win32 command-line quoting: a quote is escaped with a backslash, and the
// backslashes right before a quote (escaped or closing) are doubled.
std::u16string Quoted(std::u16string_view argument) {
    std::u16string out = u"\"";
    std::size_t backslashes = 0;
    for (char16_t ch : argument) {
        if (ch == u'\\') {
            ++backslashes;
            continue;
        }
        if (ch == u'"') {
            out.append(backslashes * 2 + 1, u'\\');
        } else {
            out.append(backslashes, u'\\');
        }
        backslashes = 0;
        out += ch;
    }
    out.append(backslashes * 2, u'\\');
    return out + u"\"";
}

bool NeedsQuotes(std::u16string_view argument) {
    return argument.empty() || argument.find_first_of(u" \t\"") != std::u16string_view::npos;
}

} // namespace

std::u16string CommandLine(int argc, const char* const* argv) {
    std::u16string line;
    for (int i = 1; i < argc && argv[i] != nullptr; ++i) {
        if (i > 1) {
            line += u' ';
        }
        // An argument may name a file, and a file name is bytes: each one
        // crosses as a path does, so that it names the same file after.
        const std::u16string argument = text::PathFromBytes(argv[i]);
        line += NeedsQuotes(argument) ? Quoted(argument) : argument;
    }
    return line;
}

std::u16string ProgramName(int argc, const char* const* argv, std::u16string_view fallback) {
    if (argc < 1 || argv[0] == nullptr || argv[0][0] == '\0') {
        return std::u16string(fallback);
    }
    return text::PathFromBytes(argv[0]);
}

} // namespace entry
